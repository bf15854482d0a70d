#include <Scene/Change/GroupChangePacket.h>

namespace Brio::Scene {

using Lumo::Objects::UString;

UString* GroupChangePacket::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"Brio::Scene::GroupChangePacket");
    return name;
}
UString* GroupChangePacket::ClassName() const {
    return StaticClassName();
}
void* GroupChangePacket::GetInterface(UString* name) {
    return name == StaticClassName() ? this : Lumo::Graphics::GroupChangePacket::GetInterface(name);
}

GroupChangePacket::GroupChangePacket(Lumo::Graphics::BaseGroupNode* group) : Lumo::Graphics::GroupChangePacket(group) {}

GroupChangePacket* GroupChangePacket::make(Lumo::Graphics::BaseGroupNode* group) {
    return new GroupChangePacket(group);
}

bool GroupChangePacket::UpdateNode() {
    bool applied = Lumo::Graphics::GroupChangePacket::UpdateNode();
    return m_merged.apply() && applied;
}

Lumo::Graphics::IChangePacket* GroupChangePacket::MergeChanges(IChangePacket& later) {
    if (later.GetInterface(Lumo::Graphics::GroupChangePacket::StaticClassName()))
        return Lumo::Graphics::GroupChangePacket::MergeChanges(later);
    m_merged.add(later);
    return this;
}

} // namespace Brio::Scene
