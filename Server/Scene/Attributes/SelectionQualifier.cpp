#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/SelectionQualifier.h>

namespace Lumo::Scene {

Lumo::Objects::UString* SelectionQualifier::StaticClassName() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"SelectionQualifier");
    return name;
}

Lumo::Objects::UString* SelectionQualifier::ClassName() const {
    return StaticClassName();
}

// The root of its chain: no base to ask, so anything else is not offered.
void* SelectionQualifier::GetInterface(Lumo::Objects::UString* name) {
    return name == StaticClassName() ? static_cast<void*>(this) : nullptr;
}

bool SelectionQualifier::selectable(Lumo::Graphics::IIntersection*) {
    return true;
}

} // namespace Lumo::Scene
