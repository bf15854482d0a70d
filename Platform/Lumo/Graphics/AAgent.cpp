#include <Lumo/Graphics/AAgent.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(AAgent, Lumo::Objects::ARefCounted)

bool AAgent::BeginPass(Lumo::Devices::ADrawContext&) {
    return false;
}
void AAgent::EndPass(Lumo::Devices::ADrawContext&, AWorld*) {}
TraversalState* AAgent::GetDeferred(Lumo::Devices::ADrawContext&) {
    return nullptr;
}

bool AAgent::HasInput(Lumo::Objects::UString* name) const {
    for (auto& [n, v] : m_inputs)
        if (n == name)
            return true;
    return false;
}

bool AAgent::Input(Lumo::Objects::UString* name, bool fallback) const {
    for (auto& [n, v] : m_inputs)
        if (n == name)
            return v;
    return fallback;
}

bool AAgent::SetInput(Lumo::Objects::UString* name, bool value) {
    for (auto& [n, v] : m_inputs)
        if (n == name) {
            v = value;
            return true;
        }
    return false;
}

void AAgent::DeclareInput(Lumo::Objects::UString* name, bool value) {
    if (!SetInput(name, value))
        m_inputs.emplace_back(name, value);
}

} // namespace Lumo::Graphics
