#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <cstdint>

namespace Lumo::Devices {

/// Depth and stencil comparisons (the numbering of the device interface the scene code names).
enum EComparison : int {
    eCompareNever = 1,
    eCompareLess = 2,
    eCompareEqual = 3,
    eCompareLessEqual = 4,
    eCompareGreater = 5,
    eCompareNotEqual = 6,
    eCompareGreaterEqual = 7,
    eCompareAlways = 8,
};

/// What a stencil test does to the stored value.
enum EStencilOp : int {
    eStencilKeep = 1,
    eStencilZero = 2,
    eStencilReplace = 3,
    eStencilIncrSat = 4,
    eStencilDecrSat = 5,
    eStencilInvert = 6,
    eStencilIncr = 7,
    eStencilDecr = 8,
};

/// Depth test, depth writes and the stencil test an effect instance can override.
class ADepthStencilState : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static ADepthStencilState* Make(bool depthTest = true, bool depthWrite = true,
                                    EComparison depthFunc = eCompareLess);
    ADepthStencilState* Clone() const;
    bool Equals(const ADepthStencilState& other) const;

    bool DepthTest() const { return m_depthTest; }
    void DepthTest(bool on) { m_depthTest = on; }
    bool DepthWrite() const { return m_depthWrite; }
    void DepthWrite(bool on) { m_depthWrite = on; }
    EComparison DepthFunc() const { return m_depthFunc; }
    void DepthFunc(EComparison f) { m_depthFunc = f; }

    bool StencilTest() const { return m_stencilTest; }
    void StencilTest(bool on) { m_stencilTest = on; }
    EComparison StencilFunc() const { return m_stencilFunc; }
    void StencilFunc(EComparison f) { m_stencilFunc = f; }
    int StencilRef() const { return m_stencilRef; }
    void StencilRef(int ref) { m_stencilRef = ref; }
    std::uint8_t StencilReadMask() const { return m_readMask; }
    void StencilReadMask(std::uint8_t m) { m_readMask = m; }
    std::uint8_t StencilWriteMask() const { return m_writeMask; }
    void StencilWriteMask(std::uint8_t m) { m_writeMask = m; }
    /// The operations when the stencil test fails, when it passes but depth fails, and when both pass.
    void StencilOps(EStencilOp fail, EStencilOp depthFail, EStencilOp pass);
    EStencilOp StencilFail() const { return m_fail; }
    EStencilOp StencilDepthFail() const { return m_depthFail; }
    EStencilOp StencilPass() const { return m_pass; }

protected:
    ADepthStencilState(bool depthTest, bool depthWrite, EComparison depthFunc)
        : m_depthTest(depthTest), m_depthWrite(depthWrite), m_depthFunc(depthFunc) {}

private:
    bool m_depthTest;
    bool m_depthWrite;
    EComparison m_depthFunc;
    bool m_stencilTest = false;
    EComparison m_stencilFunc = eCompareAlways;
    int m_stencilRef = 0;
    std::uint8_t m_readMask = 0xFF;
    std::uint8_t m_writeMask = 0xFF;
    EStencilOp m_fail = eStencilKeep;
    EStencilOp m_depthFail = eStencilKeep;
    EStencilOp m_pass = eStencilKeep;
};

} // namespace Lumo::Devices
