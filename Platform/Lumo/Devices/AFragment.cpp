#include <Lumo/Devices/AFragment.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(AFragment, ADeviceResource)

AFragment::AFragment(Lumo::Objects::UString* name) : m_name(name) {}

AFragment::AFragment(const AFragment& other)
    : ADeviceResource(), m_name(other.m_name), m_featureLevel(other.m_featureLevel), m_inputs(other.m_inputs),
      m_outputs(other.m_outputs), m_defaults(other.m_defaults), m_args(other.m_args),
      m_description(other.m_description), m_category(other.m_category) {}

void AFragment::SetArgument(Lumo::Objects::UString* name, const FragmentValue& value) {
    for (auto& [n, v] : m_args)
        if (n == name) {
            v = value;
            return;
        }
    m_args.emplace_back(name, value);
}

const FragmentValue* AFragment::FindArgument(const Lumo::Objects::UString* name) const {
    for (auto& [n, v] : m_args)
        if (n == name)
            return &v;
    return nullptr;
}

AFragment* AFragment::Make(Lumo::Objects::UString* name) {
    return new AFragment(name);
}

AFragment* AFragment::Clone() const {
    return new AFragment(*this);
}

int AFragment::AddInput(Lumo::Objects::UString* name, EParameterType type) {
    int existing = InputIndex(name);
    if (existing >= 0)
        return existing;
    m_inputs.push_back({name, type});
    int index = static_cast<int>(m_inputs.size()) - 1;
    if (type != eParamNone)
        m_defaults.Declare(index, type);
    MarkChanged();
    return index;
}

int AFragment::AddOutput(Lumo::Objects::UString* name, EParameterType type) {
    int existing = OutputIndex(name);
    if (existing >= 0)
        return existing;
    m_outputs.push_back({name, type});
    MarkChanged();
    return static_cast<int>(m_outputs.size()) - 1;
}

int AFragment::InputIndex(const Lumo::Objects::UString* name) const {
    for (std::size_t i = 0; i < m_inputs.size(); ++i)
        if (m_inputs[i].name == name)
            return static_cast<int>(i);
    return -1;
}

int AFragment::OutputIndex(const Lumo::Objects::UString* name) const {
    for (std::size_t i = 0; i < m_outputs.size(); ++i)
        if (m_outputs[i].name == name)
            return static_cast<int>(i);
    return -1;
}

} // namespace Lumo::Devices
