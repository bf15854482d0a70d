#pragma once
// Nodes and meshes shared by the change-packet tests.
#include "../TestSupport.h"

#include <Lumo/Devices/SimpleMesh.h>
#include <Scene/Change/ChangePacket.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/SceneNodes.h>

namespace PacketTest {

using Lumo::Objects::AutoPtr;

inline AutoPtr<Lumo::Devices::SimpleMesh> Mesh() {
    return Lumo::Devices::SimpleMesh::Make(nullptr);
}

/// A group with the scene's node data (qualifier, client type, double-sided mode).
inline AutoPtr<Lumo::Graphics::GroupNode> SceneGroup() {
    AutoPtr<Lumo::Graphics::GroupNode> node = Lumo::Graphics::GroupNode::Make();
    Brio::Scene::NodeData::make(node, nullptr, Lumo::Scene::eGroupNode, false);
    return node;
}

inline Brio::Scene::ChangePacket& Merge(Brio::Scene::ChangePacket& into, Brio::Scene::ChangePacket& later) {
    EXPECT_EQ(into.MergeChanges(later), &into);
    return into;
}

} // namespace PacketTest
