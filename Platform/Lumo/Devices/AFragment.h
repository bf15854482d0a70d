#pragma once
#include <Lumo/Devices/ADeviceResource.h>
#include <Lumo/Devices/FragmentValue.h>
#include <Lumo/Devices/ParameterValues.h>

#include <string>
#include <utility>
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

    /// Values given to the fragment by name (its arguments when it is run); a graph's hold
    /// what its caller set for the whole run.
    void SetArgument(Lumo::Objects::UString* name, const FragmentValue& value);
    /// Null when not given.
    const FragmentValue* FindArgument(const Lumo::Objects::UString* name) const;
    const std::vector<std::pair<Lumo::Objects::UString*, FragmentValue>>& Arguments() const { return m_args; }

    /// Text shown for the fragment.
    const std::wstring& Description() const { return m_description; }
    void Description(const std::wstring& d) { m_description = d; }
    /// A graph category ("SceneDraw"); empty for none.
    const std::wstring& Category() const { return m_category; }
    void Category(const std::wstring& c) { m_category = c; }

    /// A copy with the same name, parameters, defaults and arguments.
    virtual AFragment* Clone() const;

protected:
    explicit AFragment(Lumo::Objects::UString* name);
    AFragment(const AFragment& other);

private:
    Lumo::Objects::UString* m_name;
    int m_featureLevel = 0;
    std::vector<FragmentParameter> m_inputs, m_outputs;
    ParameterValues m_defaults;
    std::vector<std::pair<Lumo::Objects::UString*, FragmentValue>> m_args;
    std::wstring m_description, m_category;
};

} // namespace Lumo::Devices
