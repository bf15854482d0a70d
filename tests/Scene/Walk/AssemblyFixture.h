#pragma once
// An assembly built the way a CAD host builds one: shared components (targets) shown by
// reference nodes through named instance groups, each instance with its own transform and
// colour, and type-specific child sets on some of them.
#include <Lumo/Devices/IndexBufferBuilder.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Devices/VertexBufferBuilder.h>
#include <Lumo/Devices/VertexFormat.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Nodes/ANodeData.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Nodes/ReferenceNodeData.h>

#include <string>
#include <vector>

namespace SceneFixture {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

constexpr unsigned kInstanceType = 0x1, kComponentType = 0x2, kBodyType = 0x8;

/// A unit triangle every body shares.
inline Lumo::Devices::SimpleMesh* MakeTriangle() {
    Lumo::Devices::VertexBufferBuilder vb(Lumo::Devices::eVertexPosition | Lumo::Devices::eVertexNormal);
    vb.Normal({0, 0, 1});
    vb.AddVertex({0, 0, 0});
    vb.AddVertex({1, 0, 0});
    vb.AddVertex({0, 1, 0});
    Lumo::Devices::IndexBufferBuilder ib;
    ib.AddTriangle(0, 1, 2);
    return Lumo::Devices::SimpleMesh::Make(vb, ib, Lumo::Devices::ePrimTriangleList);
}

struct Assembly {
    AutoPtr<Lumo::Graphics::GroupNode> root;
    std::vector<AutoPtr<Lumo::Graphics::GroupNode>> components; // the shared targets
    int leaves = 0;
    int groups = 0;
};

/// components x instancesPerComponent instances of components with bodiesPerComponent bodies;
/// every tenth instance carries a type-specific child set for its bodies.
inline Assembly BuildAssembly(int components, int instancesPerComponent, int bodiesPerComponent) {
    using namespace Lumo::Scene;
    Assembly a;
    a.root = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, true);
    AutoPtr<Lumo::Devices::SimpleMesh> mesh = MakeTriangle();
    AutoPtr<Attribute> hidden = VisibilityAttribute::Make(false);
    int instanceNo = 0;
    for (int c = 0; c < components; ++c) {
        AutoPtr<Lumo::Graphics::GroupNode> component = MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
        ANodeData::Make(component, eGroupNode, true)->clientType(kComponentType);
        for (int b = 0; b < bodiesPerComponent; ++b) {
            AutoPtr<Lumo::Graphics::GeometryNode> body = Lumo::Graphics::GeometryNode::Make();
            ANodeData::Make(body, eGeometryNode, false)->clientType(kBodyType);
            body->RenderGeometry(mesh);
            component->AddChild(body);
        }
        a.components.push_back(component);
        AutoPtr<Lumo::Graphics::GroupNode> reference =
            MakeReferenceNode(component, a.root, Lumo::Graphics::eSingleNodeWorld);
        a.root->AddChild(reference);
        ++a.groups;
        ReferenceNodeData* data = GetReferenceNodeData(reference);
        for (int i = 0; i < instancesPerComponent; ++i, ++instanceNo) {
            AutoPtr<Lumo::Graphics::GroupNode> instance = MakeInstanceNode(true, true);
            GetNodeData(instance)->clientType(kInstanceType);
            AttributeSet* set = GetAttributeSet(instance);
            set->SetAttribute(AutoPtr<Attribute>(
                TransformAttribute::Make(mat4<float>::Translation(vec3<float>(float(c), float(i), 0)), false)));
            set->SetAttribute(AutoPtr<Attribute>(
                ColorEffectAttribute::Make(vec4<float>(float(i % 7) / 7.f, float(c % 5) / 5.f, 0.5f, 1.f))));
            if (instanceNo % 10 == 0)
                static_cast<AttributeSetEx*>(set)
                    ->GetAttributeSet(kBodyType, kComponentType, true)
                    ->SetAttribute(hidden);
            reference->AddChild(instance);
            std::string name = "i" + std::to_string(i);
            data->TargetInstance(name, instance);
            data->AddRefInstAndNotifier(name);
            ++a.groups;
            a.leaves += bodiesPerComponent;
        }
    }
    return a;
}

} // namespace SceneFixture
