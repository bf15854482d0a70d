#pragma once
// Scenes drawn through the fragment library on an off-screen device.
#include "GLTestSupport.h"

#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/ScriptInterpreter.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Nodes/ANodeData.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/View/FragmentLibrary.h>
#include <Scene/View/FragmentParameters.h>
#include <Scene/View/RenderParams.h>
#include <Scene/View/ViewFragmentPassRenderer.h>

namespace SceneGL {

using namespace GLTest;
using Brio::Scene::FragmentLibrary;
using Brio::Scene::FragmentParameters;
using Brio::Scene::RenderParams;

/// Client types the agents tell faces and edges by.
constexpr unsigned kFaces = 16, kEdges = 32;

/// A geometry leaf with node data of the given client type and, when colour is given, its
/// own colour effect.
inline AutoPtr<Lumo::Graphics::GeometryNode> Leaf(Lumo::Devices::IRenderGeom* mesh, unsigned clientType,
                                                  const vec4<float>* color = nullptr) {
    AutoPtr<Lumo::Graphics::GeometryNode> node = Lumo::Scene::MakeGeometryNode(false);
    Brio::Scene::NodeData::make(node, nullptr, Lumo::Scene::eGeometryNode, false)->clientType(clientType);
    node->RenderGeometry(mesh);
    if (color)
        Lumo::Scene::GetAttributeSet(node)->SetAttribute(
            AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::ColorEffectAttribute::Make(*color)));
    return node;
}

inline AutoPtr<Lumo::Graphics::GroupNode> Group(const mat4<float>* transform = nullptr) {
    AutoPtr<Lumo::Graphics::GroupNode> g = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
    Brio::Scene::NodeData::make(g, nullptr, Lumo::Scene::eGroupNode, false);
    if (transform)
        Lumo::Scene::GetAttributeSet(g)->SetAttribute(
            AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::TransformAttribute::Make(*transform, false)));
    return g;
}

/// A frame's targets and context, cleared as a view would clear them.
struct Frame {
    AutoPtr<Lumo::Devices::RenderTarget> color, depth;
    AutoPtr<Lumo::Devices::ADrawContext> dc;
    std::unique_ptr<Lumo::Graphics::ScriptInterpreter> interpreter;
    vec4<float> clear{0.914f, 0.914f, 0.914f, 1.0f};

    explicit Frame(int w = 128, int h = 128, int samples = 1) {
        using namespace Lumo::Devices;
        color = RenderTarget::Make(w, h, eTargetRGBA8, samples);
        depth = RenderTarget::Make(w, h, eTargetDepthStencil, samples);
        dc = ADrawContext::Make(Device());
        interpreter = std::make_unique<Lumo::Graphics::ScriptInterpreter>(*dc);
        interpreter->DefaultTargets(color, depth);
    }
    void Begin() {
        EXPECT_TRUE(Device()->Draw().BindTargets(color, depth));
        Device()->Draw().Clear(Lumo::Devices::eClearColor | Lumo::Devices::eClearDepth | Lumo::Devices::eClearStencil,
                               clear);
    }
    /// Sets the usual arguments and runs the graph; false with the interpreter's reason.
    ::testing::AssertionResult Run(Lumo::Devices::FragmentGraph* graph, Lumo::Graphics::ARenderNode* world) {
        FragmentParameters::setArg(graph, L"world", world);
        FragmentParameters::setArg(graph, L"final", color.get());
        FragmentParameters::setArg(graph, L"depthstencil", depth.get());
        FragmentParameters::setArg(graph, L"clearColor", clear);
        if (!interpreter->Run(graph))
            return ::testing::AssertionFailure()
                   << std::string(interpreter->LastError().begin(), interpreter->LastError().end());
        interpreter->ReleaseLocalTargets();
        return ::testing::AssertionSuccess();
    }
};

inline void EnsureLibrary() {
    static bool done = [] {
        Brio::Scene::NodeData::installRenderCallbacks();
        EXPECT_TRUE(FragmentLibrary::initializeFragmentLibrary()) << FragmentLibrary::lastError();
        return true;
    }();
    (void)done;
}

} // namespace SceneGL
