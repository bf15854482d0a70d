#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Vec.h>

#include <cstdint>

namespace Lumo::Devices {

/// Blend factors (the numbering of the device interface the scene code names: 5 source
/// alpha, 6 its inverse, 14 the blend factor, 15 its inverse).
enum EBlend : int {
    eBlendZero = 1,
    eBlendOne = 2,
    eBlendSrcColor = 3,
    eBlendInvSrcColor = 4,
    eBlendSrcAlpha = 5,
    eBlendInvSrcAlpha = 6,
    eBlendDestAlpha = 7,
    eBlendInvDestAlpha = 8,
    eBlendDestColor = 9,
    eBlendInvDestColor = 10,
    eBlendSrcAlphaSat = 11,
    eBlendFactor = 14,
    eBlendInvFactor = 15,
};

enum EBlendOp : int {
    eBlendOpAdd = 1,
    eBlendOpSubtract = 2,
    eBlendOpRevSubtract = 3,
    eBlendOpMin = 4,
    eBlendOpMax = 5,
};

/// Ready-made blend settings for one render target.
enum EBlendMode : int {
    eBlendModeOpaque = 0,   ///< no blending
    eBlendModeOver = 1,     ///< straight alpha over: src * a + dest * (1 - a)
    eBlendModeMultOver = 2, ///< colour already multiplied by alpha, over: src + dest * (1 - a)
    eBlendModeAdd = 3,      ///< src * a + dest
    eBlendModeMultiply = 4, ///< src * dest
    eBlendModeFactor = 5,   ///< by the constant blend factor: src * f + dest * (1 - f)
};

/// Channel bits of a write mask.
enum EColorWrite : std::uint8_t {
    eWriteRed = 1,
    eWriteGreen = 2,
    eWriteBlue = 4,
    eWriteAlpha = 8,
    eWriteAll = 15,
};

/// Blending of one render target.
struct SRenderTargetBlend {
    bool enable = false;
    EBlend src = eBlendOne;
    EBlend dest = eBlendZero;
    EBlendOp op = eBlendOpAdd;
    EBlend srcAlpha = eBlendOne;
    EBlend destAlpha = eBlendZero;
    EBlendOp opAlpha = eBlendOpAdd;
    std::uint8_t writeMask = eWriteAll;

    bool operator==(const SRenderTargetBlend&) const = default;
};

/// Blend settings an effect instance can override, per render target, with the constant
/// blend factor.
class ABlendState : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static constexpr int kMaxRenderTargets = 8;

    /// Every render target set to the mode.
    static ABlendState* Make(EBlendMode mode = eBlendModeOpaque);
    ABlendState* Clone() const;
    bool Equals(const ABlendState& other) const;

    /// A bad target index reads as target 0 and writes nothing.
    const SRenderTargetBlend& Target(int rt) const;
    void Target(int rt, const SRenderTargetBlend& blend);
    /// Sets one target's factors and operations from a mode, keeping its write mask.
    void Mode(int rt, EBlendMode mode);
    /// Shorthand for one target's factors, blending on.
    void Blend(int rt, EBlend src, EBlend dest, EBlendOp op = eBlendOpAdd);
    void WriteMask(int rt, std::uint8_t mask);

    const Lumo::Objects::vec4<float>& BlendFactor() const { return m_factor; }
    void BlendFactor(const Lumo::Objects::vec4<float>& f) { m_factor = f; }
    bool AlphaToCoverage() const { return m_alphaToCoverage; }
    void AlphaToCoverage(bool on) { m_alphaToCoverage = on; }

protected:
    ABlendState() = default;

private:
    SRenderTargetBlend m_targets[kMaxRenderTargets];
    Lumo::Objects::vec4<float> m_factor{1, 1, 1, 1};
    bool m_alphaToCoverage = false;
};

} // namespace Lumo::Devices
