#pragma once
#include <Scene/Attributes/EffectAttribute.h>

#include <memory>

namespace Lumo::Devices {
class ParameterValues;
}

namespace Lumo::Scene {

/// Any effect the device knows by name, with parameter values by index.
class GenericEffectAttribute : public EffectAttribute, public NetObjectCountImpl<GenericEffectAttribute> {
    LUMO_SCENE_CLASS(GenericEffectAttribute)
public:
    /// The values are copied (null means the effect's defaults), so the caller keeps its own.
    static GenericEffectAttribute* Make(Lumo::Objects::UString* effectID, const Lumo::Devices::ParameterValues* values,
                                        bool winTies = false, unsigned char priority = 0);
    ~GenericEffectAttribute() override;
    bool Equals(const Attribute* other) const override;
    Lumo::Objects::UString* GetEffectID() const { return m_effectID; }
    /// Null when made without values.
    const Lumo::Devices::ParameterValues* GetParameterValues() const { return m_values.get(); }

protected:
    GenericEffectAttribute(Lumo::Objects::UString* effectID, const Lumo::Devices::ParameterValues* values, bool winTies,
                           unsigned char priority);
    Lumo::Devices::EffectInstance* CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool shared) override;

private:
    Lumo::Objects::UString* m_effectID;
    std::unique_ptr<Lumo::Devices::ParameterValues> m_values;
};

} // namespace Lumo::Scene
