#include <Scene/Change/ChangePacket.h>
#include <Scene/Change/RevalidatePacket.h>
#include <Scene/Change/SceneNodes.h>

#include <Lumo/Graphics/GroupNode.h>

namespace Brio::Scene {

using Lumo::Objects::UString;

UString* RevalidatePacket::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"Brio::Scene::RevalidatePacket");
    return name;
}
UString* RevalidatePacket::ClassName() const {
    return StaticClassName();
}
void* RevalidatePacket::GetInterface(UString* name) {
    return name == StaticClassName() ? this : Lumo::Graphics::ChangePacket::GetInterface(name);
}

RevalidatePacket::RevalidatePacket(Lumo::Graphics::ARenderNode* node) : Lumo::Graphics::ChangePacket(node) {}
RevalidatePacket::~RevalidatePacket() = default;

RevalidatePacket* RevalidatePacket::make(const Brio::Scene::ChangePacket& source) {
    auto& from = const_cast<Brio::Scene::ChangePacket&>(source); // Node() is not const in the interface
    auto* packet = new RevalidatePacket(from.Node());
    packet->m_revalidate = source.m_revalidate;
    packet->m_newMeshLevels = source.m_newMeshLevels;
    if (source.HasNewBoundingBox())
        packet->NewBoundingBox(source.NewBoundingBox());
    packet->ChangeType(source.ChangeType() & (kNewGeometry | kNewBox));
    return packet;
}

bool RevalidatePacket::UpdateNode() {
    DataChange::EChangeType types = m_revalidate;
    // New meshes or a new box already answer a geometry revalidation.
    if (ChangeType() & (kNewGeometry | kNewBox))
        DataChange::clear(types, DataChange::eGeometry);
    if (types != DataChange::eNoChange) {
        if (NodeData* data = nodeData(Node()))
            data->revalidate(types); // the source rebuilds through new node changes
    }
    return false;
}

void RevalidatePacket::mergeRevalidate(const RevalidatePacket& later) {
    if (DataChange::test(later.m_revalidate, DataChange::eGeometry)) {
        ChangeType(ChangeType() & ~(kNewGeometry | kNewBox));
        m_newMeshLevels = 0;
    }
    AddChangeType(later.ChangeType());
    m_newMeshLevels = static_cast<std::uint16_t>(m_newMeshLevels | later.m_newMeshLevels);
    DataChange::set(m_revalidate, later.m_revalidate);
}

Lumo::Graphics::IChangePacket* RevalidatePacket::MergeChanges(IChangePacket& later) {
    Lumo::Graphics::ChangePacket::MergeChanges(later);
    if (auto* other = static_cast<RevalidatePacket*>(later.GetInterface(StaticClassName())))
        mergeRevalidate(*other);
    return this;
}

} // namespace Brio::Scene
