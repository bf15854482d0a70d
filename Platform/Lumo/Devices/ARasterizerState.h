#pragma once
#include <Lumo/Devices/ECull.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Devices {

/// How triangles are filled (the numbering of the device interface the scene code names).
enum EFillMode : int {
    eFillWireframe = 2,
    eFillSolid = 3,
};

/// Rasterizer settings an effect instance can override: culling, fill, depth bias.
/// Front faces wind counter-clockwise unless told otherwise, as OpenGL has it.
class ARasterizerState : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static ARasterizerState* Make(ECull cull = eCullBack, EFillMode fill = eFillSolid);
    ARasterizerState* Clone() const;
    bool Equals(const ARasterizerState& other) const;

    ECull CullMode() const { return m_cull; }
    void CullMode(ECull cull) { m_cull = cull; }
    EFillMode FillMode() const { return m_fill; }
    void FillMode(EFillMode fill) { m_fill = fill; }
    bool FrontCounterClockwise() const { return m_frontCCW; }
    void FrontCounterClockwise(bool on) { m_frontCCW = on; }
    /// Constant depth offset in units of the smallest resolvable depth step.
    int DepthBias() const { return m_depthBias; }
    void DepthBias(int bias) { m_depthBias = bias; }
    float SlopeScaledDepthBias() const { return m_slopeBias; }
    void SlopeScaledDepthBias(float bias) { m_slopeBias = bias; }
    bool DepthClip() const { return m_depthClip; }
    void DepthClip(bool on) { m_depthClip = on; }

protected:
    ARasterizerState(ECull cull, EFillMode fill) : m_cull(cull), m_fill(fill) {}

private:
    ECull m_cull;
    EFillMode m_fill;
    bool m_frontCCW = true;
    int m_depthBias = 0;
    float m_slopeBias = 0.0f;
    bool m_depthClip = true;
};

} // namespace Lumo::Devices
