#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Devices {

class ARasterizerState;
class ABlendState;
class ADepthStencilState;

/// A recorded set of state overrides: each kind is either absent (the device's current
/// state stays) or replaced by the held state. Holds one reference on each state.
class StateSetter : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static StateSetter* Make();
    ~StateSetter() override;
    /// A copy with copies of the states, so changing one setter's states leaves the other's.
    StateSetter* Clone() const;
    /// Same kinds present with equal settings.
    bool Equals(const StateSetter& other) const;

    /// Null removes the override.
    void Rasterizer(ARasterizerState* state);
    ARasterizerState* Rasterizer() const { return m_rasterizer; }
    void Blend(ABlendState* state);
    ABlendState* Blend() const { return m_blend; }
    void DepthStencil(ADepthStencilState* state);
    ADepthStencilState* DepthStencil() const { return m_depthStencil; }

    bool IsEmpty() const { return !m_rasterizer && !m_blend && !m_depthStencil; }
    /// Lays other's overrides over these: a kind other holds replaces this one's (shared).
    void Merge(const StateSetter& other);

protected:
    StateSetter();

private:
    Lumo::Objects::AutoPtr<ARasterizerState> m_rasterizer;
    Lumo::Objects::AutoPtr<ABlendState> m_blend;
    Lumo::Objects::AutoPtr<ADepthStencilState> m_depthStencil;
};

} // namespace Lumo::Devices
