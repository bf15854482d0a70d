#pragma once
#include <Lumo/Devices/ADeviceResource.h>
#include <Lumo/Devices/ParameterValues.h>

#include <vector>

namespace Lumo::Devices {

/// A named input or output of a fragment. Value inputs have a parameter type and a default
/// in the fragment's Defaults(); object inputs (worlds, targets, styles) have eParamNone.
struct FragmentParameter {
    Lumo::Objects::UString* name = nullptr;
    EParameterType type = eParamNone;
};

/// A piece of a drawing pipeline with named inputs and outputs, composed into fragment graphs
/// and later compiled or interpreted by the device. Library fragments are shared prototypes:
/// graphs hold clones so that their inputs can differ.
class AFragment : public ADeviceResource {
    LUMO_DECLARE_CLASS()
public:
    static AFragment* Make(Lumo::Objects::UString* name);

    Lumo::Objects::UString* Name() const { return m_name; }
    int RequiredFeatureLevel() const { return m_featureLevel; }
    void RequiredFeatureLevel(int level) { m_featureLevel = level; }

    /// Adds an input (its default is zero, or unset for an object input); answers its index.
    int AddInput(Lumo::Objects::UString* name, EParameterType type = eParamNone);
    int AddOutput(Lumo::Objects::UString* name, EParameterType type = eParamNone);
    int InputIndex(const Lumo::Objects::UString* name) const;
    int OutputIndex(const Lumo::Objects::UString* name) const;
    const std::vector<FragmentParameter>& Inputs() const { return m_inputs; }
    const std::vector<FragmentParameter>& Outputs() const { return m_outputs; }
    /// Default values of the value inputs, by input index.
    ParameterValues& Defaults() { return m_defaults; }
    const ParameterValues& Defaults() const { return m_defaults; }

    /// A copy with the same name, parameters and defaults.
    virtual AFragment* Clone() const;

protected:
    explicit AFragment(Lumo::Objects::UString* name);
    AFragment(const AFragment& other);

private:
    Lumo::Objects::UString* m_name;
    int m_featureLevel = 0;
    std::vector<FragmentParameter> m_inputs, m_outputs;
    ParameterValues m_defaults;
};

} // namespace Lumo::Devices
