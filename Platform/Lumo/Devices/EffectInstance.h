#pragma once
#include <Lumo/Devices/ParameterValues.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Devices {

class IRenderEffect;
class StateSetter;
class ARasterizerState;
class ABlendState;
class ADepthStencilState;
class ADrawContext;

/// An effect with values of its own and optional state overrides: what a render item is
/// drawn with. The values start as the effect's defaults and keep its layout. Instances
/// taken from a cache are shared: clone before changing one.
class EffectInstance : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// Null for a null effect.
    static EffectInstance* Make(IRenderEffect* effect);
    ~EffectInstance() override;

    IRenderEffect* Effect() const { return m_effect; }
    ParameterValues& Values() { return m_values; }
    const ParameterValues& Values() const { return m_values; }
    /// The index of a parameter of the effect, or -1.
    int ParameterIndex(Lumo::Objects::UString* name) const;

    /// Records an override of that state kind; null removes it.
    void OverrideState(ARasterizerState* state);
    void OverrideState(ABlendState* state);
    void OverrideState(ADepthStencilState* state);
    /// The recorded overrides; null when none was ever made.
    StateSetter* StateOverrides() const { return m_states; }

    /// A new instance of the same kind and effect with copies of the values, the states and
    /// (for layered instances) the layers, so changing it leaves this one as it was.
    virtual EffectInstance* Clone() const;

    /// Marked as drawn in the transparent pass.
    bool Transparent() const { return m_transparent; }
    void Transparent(bool on) { m_transparent = on; }
    /// Whether drawing needs blending: marked so, or (in kinds that know their opacity)
    /// less than opaque. The draw context may be null.
    virtual bool IsTransparent(ADrawContext* dc = nullptr) const;

protected:
    explicit EffectInstance(IRenderEffect* effect);
    EffectInstance(const EffectInstance& other);
    StateSetter* States(); // made on first override

private:
    Lumo::Objects::AutoPtr<IRenderEffect> m_effect;
    ParameterValues m_values;
    Lumo::Objects::AutoPtr<StateSetter> m_states;
    bool m_transparent = false;
};

} // namespace Lumo::Devices
