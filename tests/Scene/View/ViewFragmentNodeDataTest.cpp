// The node data of view and view fragment nodes: where inserted passes land, which passes are
// also picked in, what is left out of a frame and where transparent geometry is resolved, and
// the render camera.
#include "../TestSupport.h"
#include "ViewTestSupport.h"

#include <Brio/Base/UniqueString.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Environment/Viewport.h>
#include <Scene/View/SelectionRenderParams.h>
#include <Scene/View/ViewFragementPassNames.h>
#include <Scene/View/ViewFragmentNodeData.h>
#include <Scene/View/ViewNodeData.h>
#include <Scene/View/ViewNodes.h>

#include <string>
#include <vector>

using namespace Brio::Scene;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;
using SceneTest::FilledGroup;

namespace {

const Brio::UniqueString* Name(const wchar_t* text) {
    return Brio::UniqueString::find(text);
}

AutoPtr<RenderParams> Params(ERenderer renderer, bool collecting) {
    AutoPtr<RenderParams> p = RenderParams::make();
    p->renderer(renderer);
    p->transparentCollectionEnabled(collecting);
    return p;
}

class ViewFragmentNodeDataTest : public SceneTest::ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        node = makeViewFragmentNode(nullptr);
        data = viewFragmentNodeData(node);
        ASSERT_NE(data, nullptr);
    }

    /// Appends a pass named `name` drawing a filled group.
    void add(const wchar_t* name, bool selectable = false, RenderParams* params = nullptr) {
        ViewFragmentPass pass(FilledGroup(), Name(name), selectable, params);
        data->addViewFragmentPass(pass);
    }
    static std::vector<std::wstring> names(const std::vector<ViewFragmentPass>& passes) {
        std::vector<std::wstring> out;
        for (const ViewFragmentPass& p : passes)
            out.push_back(p.name ? p.name->text() : L"<resolve>");
        return out;
    }
    std::vector<std::wstring> frame() const {
        std::vector<ViewFragmentPass> out;
        data->viewFragmentRenderingPass(out);
        return names(out);
    }

    SceneTest::LiveObjectGuard guard;
    AutoPtr<GroupNode> node;
    ViewFragmentNodeData* data = nullptr;
};

using W = std::vector<std::wstring>;

TEST_F(ViewFragmentNodeDataTest, ViewNodesCarryTheirOwnKindOfNodeData) {
    AutoPtr<GroupNode> view = makeViewNode(nullptr);
    ASSERT_NE(viewNodeData(view), nullptr);
    EXPECT_EQ(view->WorldType(), Lumo::Graphics::eRenderListWorld);
    EXPECT_EQ(node->WorldType(), Lumo::Graphics::eSingleNodeWorld);
    EXPECT_EQ(nodeType(view), Lumo::Scene::eViewNode);
    EXPECT_EQ(nodeType(node), Lumo::Scene::eViewFragmentNode);
    EXPECT_TRUE(isViewNode(view));
    EXPECT_TRUE(isViewNode(node));
    EXPECT_EQ(viewFragmentNodeData(view), nullptr);
    EXPECT_EQ(viewNodeData(node), nullptr);
    EXPECT_EQ(viewNodeData(nullptr), nullptr);
    EXPECT_EQ(viewFragmentNodeData(nullptr), nullptr);
    AutoPtr<GroupNode> plain = GroupNode::Make();
    EXPECT_EQ(viewFragmentNodeData(plain), nullptr);

    // Both are scene node data as well, found by their class names.
    EXPECT_EQ(nodeData(view), static_cast<NodeData*>(viewNodeData(view)));
    EXPECT_EQ(nodeData(node), static_cast<NodeData*>(data));
    EXPECT_EQ(viewNodeData(view)->ClassName(), Lumo::Objects::Intern(L"ViewNodeData"));
    EXPECT_EQ(data->ClassName(), Lumo::Objects::Intern(L"ViewFragmentNodeData"));
    EXPECT_EQ(viewNodeData(view)->viewport().getTarget(), nullptr);

    const int views = ViewNodeData::NetObjectCount(), fragments = ViewFragmentNodeData::NetObjectCount();
    view.reset();
    EXPECT_EQ(ViewNodeData::NetObjectCount(), views - 1) << "the data lives as long as its node";
    EXPECT_EQ(ViewFragmentNodeData::NetObjectCount(), fragments);
}

TEST_F(ViewFragmentNodeDataTest, InsertedPassesGoBehindThePassAtTheirPosition) {
    ViewFragmentPass x(FilledGroup(), Name(L"X"), false, nullptr);
    data->insertViewFragmentPass(0, x);
    data->insertViewFragmentPass(2, x);
    EXPECT_TRUE(data->layerPasses().empty()) << "0 and anything above count + 1 are ignored";
    data->insertViewFragmentPass(1, x);
    EXPECT_EQ(names(data->layerPasses()), W{L"X"}) << "count + 1 appends";

    add(L"B");
    add(L"C");
    ViewFragmentPass y(FilledGroup(), Name(L"Y"), false, nullptr);
    data->insertViewFragmentPass(1, y);
    EXPECT_EQ(names(data->layerPasses()), (W{L"X", L"B", L"Y", L"C"})) << "position 1 lands at index 2";
    ViewFragmentPass z(FilledGroup(), Name(L"Z"), false, nullptr);
    data->insertViewFragmentPass(4, z); // the count
    data->insertViewFragmentPass(6, z); // the count + 1
    data->insertViewFragmentPass(8, z); // beyond
    EXPECT_EQ(names(data->layerPasses()), (W{L"X", L"B", L"Y", L"C", L"Z", L"Z"}));
    EXPECT_EQ(data->findLayerPassPosition(Name(L"Y")), 2);
    EXPECT_EQ(data->findLayerPassPosition(Name(L"Z")), 4) << "the first of that name";
    EXPECT_EQ(data->findLayerPassPosition(Name(L"Nowhere")), -1);
}

TEST_F(ViewFragmentNodeDataTest, SelectablePassesAreAlsoSelectionPassesInOrderOfInsertion) {
    add(L"A", true);
    add(L"B");
    add(L"C", true);
    ViewFragmentPass early(FilledGroup(), Name(L"Early"), true, nullptr);
    data->insertViewFragmentPass(1, early);
    EXPECT_EQ(names(data->layerPasses()), (W{L"A", L"B", L"Early", L"C"}));
    EXPECT_EQ(names(data->selectionPasses()), (W{L"A", L"C", L"Early"}));
}

TEST_F(ViewFragmentNodeDataTest, PassesShareWhatTheyAreGivenAndGetLayerParametersWhenGivenNone) {
    AutoPtr<RenderParams> params = Params(eRendererVisualEffect, true);
    AutoPtr<GroupNode> scene = FilledGroup();
    {
        ViewFragmentPass pass(scene, Name(L"Model"), true, params);
        data->addViewFragmentPass(pass);
    }
    EXPECT_EQ(data->renderParams(0), params.get());
    EXPECT_EQ(params->RefCount(), 3) << "held by the layer pass and the selection pass";
    EXPECT_EQ(scene->RefCount(), 3);
    EXPECT_EQ(data->renderParams(scene), params.get());

    add(L"Layer");
    RenderParams* given = data->renderParams(1);
    ASSERT_NE(given, nullptr);
    EXPECT_EQ(given->renderer(), eRendererLayer);
    EXPECT_EQ(data->renderParams(2), nullptr);
    EXPECT_EQ(data->renderParams(-1), nullptr);
    AutoPtr<GroupNode> stranger = GroupNode::Make();
    EXPECT_EQ(data->renderParams(stranger), nullptr);

    data->removeLayerPass(Name(L"Model"));
    EXPECT_EQ(params->RefCount(), 1) << "removing a pass lets go of its parameters and scene";
    EXPECT_EQ(scene->RefCount(), 1);
}

TEST_F(ViewFragmentNodeDataTest, RemovingTakesTheFirstPassOfTheNameAndItsSelectionPass) {
    add(L"Twin");       // not selectable
    add(L"Twin", true); // selectable
    add(L"Other", true);
    data->removeLayerPass(Name(L"Twin"));
    EXPECT_EQ(names(data->layerPasses()), (W{L"Twin", L"Other"}));
    EXPECT_EQ(names(data->selectionPasses()), (W{L"Twin", L"Other"})) << "the removed one was not picked in";
    data->removeLayerPass(Name(L"Twin"));
    EXPECT_EQ(names(data->selectionPasses()), W{L"Other"});
    data->removeLayerPass(Name(L"Unknown"));
    data->removeLayerPass(nullptr);
    EXPECT_EQ(names(data->layerPasses()), W{L"Other"});
}

TEST_F(ViewFragmentNodeDataTest, ARunOfCollectingPassesIsResolvedOnceBeforeTheNextOpaquePass) {
    add(L"T1", false, Params(eRendererVisualEffect, true));
    add(L"T2", false, Params(eRendererVisualEffect, true));
    add(L"O1", false, Params(eRendererLayer, false));
    add(L"O2", false, Params(eRendererLayer, false));
    add(L"T3", false, Params(eRendererVisualEffect, true));
    EXPECT_EQ(frame(), (W{L"T1", L"T2", L"<resolve>", L"O1", L"O2", L"T3", L"<resolve>"}));

    std::vector<ViewFragmentPass> out;
    data->viewFragmentRenderingPass(out);
    const ViewFragmentPass& resolve = out[2];
    EXPECT_EQ(resolve.scene.get(), nullptr);
    EXPECT_EQ(resolve.name, nullptr);
    EXPECT_FALSE(resolve.selectable);
    ASSERT_NE(resolve.renderParams.get(), nullptr);
    EXPECT_EQ(resolve.renderParams->renderer(), eRendererTransparencyOnly);
    EXPECT_NE(resolve.renderParams.get(), out[6].renderParams.get()) << "each resolve pass has its own clone";
    EXPECT_TRUE(*resolve.renderParams == *out[6].renderParams);

    data->viewFragmentRenderingPass(out);
    EXPECT_EQ(out.size(), 7u) << "the list is replaced, not appended to";
}

TEST_F(ViewFragmentNodeDataTest, PassesWithNothingToDrawAreLeftOutOfTheFrame) {
    ViewFragmentPass noScene(nullptr, Name(L"NoScene"), false, Params(eRendererVisualEffect, false));
    data->addViewFragmentPass(noScene);
    ViewFragmentPass emptyLayer(GroupNode::Make(), Name(L"EmptyLayer"), false, Params(eRendererLayer, false));
    data->addViewFragmentPass(emptyLayer);
    ViewFragmentPass emptyModel(GroupNode::Make(), Name(L"EmptyModel"), false, Params(eRendererVisualEffect, false));
    data->addViewFragmentPass(emptyModel);

    // A selection pass draws its faces and edges groups; with both empty there is nothing.
    AutoPtr<GroupNode> selection = GroupNode::Make();
    AutoPtr<GroupNode> faces = GroupNode::Make(), edges = GroupNode::Make();
    NodeData::make(faces, nullptr, Lumo::Scene::eGroupNode, false)->clientType(eClientFaces);
    NodeData::make(edges, nullptr, Lumo::Scene::eGroupNode, false)->clientType(eClientEdges);
    selection->AddChild(faces);
    selection->AddChild(edges);
    for (ERenderer kind :
         {eRendererSelection, eRendererSelectionSimplified, eRendererHighlight, eRendererHighlightSimplified,
          eRendererSketchSelection, eRendererSketchSelectionSimplified}) {
        AutoPtr<RenderParams> p = SelectionRenderParams::make();
        p->renderer(kind);
        ViewFragmentPass pass(selection, Name(L"Selection"), false, p);
        data->addViewFragmentPass(pass);
    }
    EXPECT_EQ(frame(), W{L"EmptyModel"}) << "only layer and selection kinds are tested for content";

    edges->AddChild(GroupNode::Make());
    EXPECT_EQ(frame().size(), 7u) << "something in the edges group is enough";
    edges->RemoveChild(edges->Child(0));
    faces->AddChild(GroupNode::Make());
    EXPECT_EQ(frame().size(), 7u);
}

TEST_F(ViewFragmentNodeDataTest, SelectionPassesNeedASceneWithSomethingInIt) {
    add(L"Model", true);
    ViewFragmentPass empty(GroupNode::Make(), Name(L"Empty"), true, nullptr);
    data->addViewFragmentPass(empty);
    ViewFragmentPass none(nullptr, Name(L"None"), true, nullptr);
    data->addViewFragmentPass(none);
    add(L"Overlay", false);
    add(L"Manipulator", true);
    std::vector<ViewFragmentPass> out(3);
    data->viewFragmentSelectionPass(out);
    EXPECT_EQ(names(out), (W{L"Model", L"Manipulator"}));
    for (const ViewFragmentPass& p : out)
        EXPECT_NE(p.renderParams.get(), nullptr);
}

TEST_F(ViewFragmentNodeDataTest, TheRenderCameraTakesBothMatricesOrNone) {
    Lumo::Devices::ARenderCamera* camera = data->renderCamera();
    ASSERT_NE(camera, nullptr);
    Lumo::Objects::mat4<float> view, proj;
    view.m[3][0] = 5.0f;
    proj.m[2][3] = 1.0f;
    AutoPtr<Lumo::Objects::SharedMatrix> v = Lumo::Objects::SharedMatrix::Make(view);
    AutoPtr<Lumo::Objects::SharedMatrix> p = Lumo::Objects::SharedMatrix::Make(proj);

    data->updateRenderCamera(v, nullptr);
    data->updateRenderCamera(nullptr, p);
    EXPECT_EQ(camera->ViewMatrix().m[3][0], 0.0f) << "one matrix alone changes nothing";
    EXPECT_EQ(camera->ProjMatrix().m[2][3], 0.0f);
    data->updateRenderCamera(v, p);
    EXPECT_EQ(camera->ViewMatrix().m[3][0], 5.0f);
    EXPECT_EQ(camera->ProjMatrix().m[2][3], 1.0f);
    EXPECT_EQ(data->renderCamera(), camera);
}

} // namespace
