#pragma once
// Helpers shared by the scene tests: an attribute of any kind, nodes with client types,
// and a guard that checks live-object counters return to where they started.
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Scene.h>

#include <gtest/gtest.h>

namespace SceneTest {

using Lumo::Objects::AutoPtr;

/// An attribute whose kind is chosen at construction, with an integer payload.
class KindAttribute : public Lumo::Scene::Attribute {
public:
    static KindAttribute* Make(Lumo::Scene::EAttributeType kind, int value = 0, bool winTies = false,
                               unsigned char priority = 0) {
        return new KindAttribute(kind, value, winTies, priority);
    }
    Lumo::Scene::EAttributeType Type() const override { return m_kind; }
    int Value() const { return m_value; }

private:
    KindAttribute(Lumo::Scene::EAttributeType kind, int value, bool winTies, unsigned char priority)
        : Attribute(winTies, priority), m_kind(kind), m_value(value) {}
    Lumo::Scene::EAttributeType m_kind;
    int m_value;
};

inline int ValueOf(const Lumo::Scene::Attribute* a) {
    return a ? static_cast<const KindAttribute*>(a)->Value() : -1;
}

/// A group node carrying node data of the given client type.
inline AutoPtr<Lumo::Graphics::GroupNode> MakeTypedNode(unsigned clientType, bool extended = false) {
    AutoPtr<Lumo::Graphics::GroupNode> node = Lumo::Graphics::GroupNode::Make();
    Lumo::Scene::ANodeData::Make(node, Lumo::Scene::eGroupNode, extended)->clientType(clientType);
    return node;
}

/// Fails the test when attributes, sets, node data or nodes outlive the scope.
class LiveObjectGuard {
public:
    LiveObjectGuard()
        : m_attributes(Lumo::Scene::Attribute::NetObjectCount()), m_sets(Lumo::Scene::AttributeSet::NetObjectCount()),
          m_simple(Lumo::Scene::SimpleAttributeSet::NetObjectCount()),
          m_lists(Lumo::Scene::AttributeSetListEx::NetObjectCount()),
          m_nodeData(Lumo::Scene::ANodeData::NetObjectCount()), m_nodes(Lumo::Graphics::ARenderNode::NetObjectCount()) {
    }
    ~LiveObjectGuard() {
        EXPECT_EQ(Lumo::Scene::Attribute::NetObjectCount(), m_attributes) << "attributes leaked";
        EXPECT_EQ(Lumo::Scene::AttributeSet::NetObjectCount(), m_sets) << "attribute sets leaked";
        EXPECT_EQ(Lumo::Scene::SimpleAttributeSet::NetObjectCount(), m_simple) << "accumulators leaked";
        EXPECT_EQ(Lumo::Scene::AttributeSetListEx::NetObjectCount(), m_lists) << "set lists leaked";
        EXPECT_EQ(Lumo::Scene::ANodeData::NetObjectCount(), m_nodeData) << "node data leaked";
        EXPECT_EQ(Lumo::Graphics::ARenderNode::NetObjectCount(), m_nodes) << "render nodes leaked";
    }

private:
    int m_attributes, m_sets, m_simple, m_lists, m_nodeData, m_nodes;
};

} // namespace SceneTest
