// View fragments as document entities: their node, the passes a document's scenes give them,
// dependence on another fragment, their bounds, and a fragment without a node.
#include "../TestSupport.h"
#include "ViewTestSupport.h"

#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/Asset.h>
#include <Brio/DataModel/Segment.h>
#include <Brio/Types/BBox.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/Sphere3d.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/Lighting.h>
#include <Scene/Environment/Viewport.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Persistence/SceneAssetAdapter.h>
#include <Scene/View/SketchSelectionRenderParams.h>
#include <Scene/View/ViewFragementPassNames.h>
#include <Scene/View/ViewFragment.h>
#include <Scene/View/ViewFragmentNodeData.h>
#include <Scene/View/ViewNodes.h>
#include <ZoGe/ZoGeVector3d.h>

#include <string>
#include <vector>

using namespace Brio::Scene;
using Brio::StrongRef;
using Lumo::Graphics::ARenderNode;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;
using Names = ViewFragementPassNames;

namespace {

class ViewFragmentTest : public SceneTest::ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        asset = Brio::Asset::make(L"Doc");
        segment = asset->createSegment(L"Main");
    }

    static ViewFragmentNodeData* dataOf(ViewFragment& fragment) {
        return viewFragmentNodeData(fragment.viewFragmentNode());
    }
    /// A model root with a unit sphere at center, moved by offset.
    static AutoPtr<GroupNode> sphereModel(Lumo::Objects::vec3<double> center, const ZoGeVector3d& offset) {
        AutoPtr<GroupNode> root = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, true);
        Lumo::Graphics::Sphere3d sphere;
        sphere.center = center;
        NodeChange change(root, false);
        change.addChild(Lumo::Scene::MakeSphereNode(sphere, false));
        change.transform(offset, false);
        return root;
    }

    Brio::StrongRef<Brio::Asset> asset;
    Brio::Segment* segment = nullptr;
};

TEST_F(ViewFragmentTest, AFragmentOwnsANodeThatPointsBackToItAndAnswersItsInterfaces) {
    StrongRef<ViewFragment> fragment = ViewFragment::make(segment);
    AutoPtr<ARenderNode> node = fragment->sceneNode();
    ASSERT_NE(node.get(), nullptr) << "made when the fragment is created";
    EXPECT_EQ(node.get(), fragment->viewFragmentNode());
    EXPECT_EQ(fragment->createScene(), node.get());
    EXPECT_EQ(nodeType(node), Lumo::Scene::eViewFragmentNode);
    EXPECT_EQ(source(node), static_cast<INodeSource*>(fragment.getTarget()));

    ViewFragment* f = fragment.getTarget();
    EXPECT_EQ(ViewFragment::interfaceId()->text(), L"Brio::Scene::ViewFragment");
    EXPECT_EQ(f->getInterfaceId(), ViewFragment::interfaceId());
    EXPECT_EQ(f->queryInterface(ViewFragment::interfaceId()), static_cast<void*>(f));
    EXPECT_EQ(f->queryInterface(INodeSource::interfaceId()), static_cast<void*>(static_cast<INodeSource*>(f)));
    EXPECT_EQ(f->queryInterface(Brio::Entity::interfaceId()), static_cast<void*>(static_cast<Brio::Entity*>(f)));
    EXPECT_EQ(f->queryInterface(SceneAssetAdapter::interfaceId()), nullptr);

    segment->deleteEntity(fragment.getTarget());
    EXPECT_EQ(fragment->sceneNode(), nullptr);
    EXPECT_EQ(source(node), nullptr) << "a deleted fragment is no source any more";

    // A fragment that goes while its node lives on leaves no dangling source either.
    StrongRef<ViewFragment> other = ViewFragment::make(segment);
    AutoPtr<ARenderNode> kept = other->sceneNode();
    other.reset();
    segment = asset->createSegment(L"Next"); // the old segment still holds the entity
    asset.reset();
    EXPECT_EQ(source(kept), nullptr);
}

TEST_F(ViewFragmentTest, AFragmentWithoutANodeAnswersEmptyValues) {
    StrongRef<Brio::Entity> loaded = ViewFragment::s_metaType()->create(segment, 77);
    auto* fragment = static_cast<ViewFragment*>(loaded->queryMTInterface(ViewFragment::s_metaType()));
    ASSERT_NE(fragment, nullptr);
    EXPECT_EQ(fragment->sceneNode(), nullptr) << "loading does not run creation";
    EXPECT_EQ(fragment->camera().getTarget(), nullptr);
    EXPECT_EQ(fragment->viewport().getTarget(), nullptr);
    EXPECT_EQ(fragment->lighting().getTarget(), nullptr);
    EXPECT_TRUE(fragment->supportSelectBackground());
    EXPECT_TRUE(fragment->name().empty());
    EXPECT_EQ(fragment->renderParams(0), nullptr);
    AutoPtr<GroupNode> scene = GroupNode::Make();
    EXPECT_EQ(fragment->renderParams(scene), nullptr);
    EXPECT_EQ(fragment->findLayerPassPosition(Names::sModel), -1);
    EXPECT_EQ(fragment->sceneAssetAdapter(), nullptr);
    EXPECT_TRUE(fragment->bounds().isEmpty());
    fragment->removeLayerPass(Names::sModel);
    EXPECT_EQ(fragment->sceneNode(), nullptr) << "asking makes nothing";

    fragment->name(L"Left");
    ASSERT_NE(fragment->sceneNode(), nullptr) << "setting makes the node";
    EXPECT_EQ(fragment->name(), L"Left");
    fragment->supportSelectBackground(false);
    EXPECT_FALSE(fragment->supportSelectBackground());
    fragment->releaseScene();
}

TEST_F(ViewFragmentTest, ADocumentsScenesGiveEightPassesInDrawingOrder) {
    SceneAssetAdapter adapter(asset.getTarget());
    AutoPtr<GroupNode> model = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eRenderListWorld, true);
    adapter.scene(model);
    StrongRef<ViewFragment> fragment = ViewFragment::make(segment);
    fragment->scene(&adapter);
    ViewFragmentNodeData* data = dataOf(*fragment);

    struct Expected {
        const Brio::UniqueString* name;
        GroupNode* scene;
        bool selectable;
        ERenderer renderer;
    };
    const std::vector<Expected> expected = {
        {Names::sModel, model, true, eRendererVisualEffect},
        {Names::sActiveEdit, adapter.activeEditScene(), true, eRendererLayer},
        {Names::sSelection, adapter.selectionScene(), false, eRendererLayer},
        {Names::sSelectionEffect, adapter.selectionEffectScene(), false, eRendererSelection},
        {Names::sSketchSelection, adapter.sketchSelectionScene(), false, eRendererSketchSelection},
        {Names::sPrehighlightEffect, adapter.prehighlightEffectScene(), false, eRendererHighlight},
        {Names::sPrehighlight, adapter.prehighlightScene(), false, eRendererLayer},
        {Names::sManipulator, adapter.manipulatorScene(), true, eRendererLayer},
    };
    const std::vector<ViewFragmentPass>& passes = data->layerPasses();
    ASSERT_EQ(passes.size(), expected.size());
    for (std::size_t i = 0; i < passes.size(); ++i) {
        SCOPED_TRACE(expected[i].name->text());
        EXPECT_EQ(passes[i].name, expected[i].name);
        EXPECT_EQ(passes[i].scene.get(), expected[i].scene);
        EXPECT_EQ(passes[i].selectable, expected[i].selectable);
        ASSERT_NE(passes[i].renderParams.get(), nullptr);
        EXPECT_EQ(passes[i].renderParams->renderer(), expected[i].renderer);
        EXPECT_EQ(fragment->renderParams(int(i)), passes[i].renderParams.get());
    }
    std::vector<std::wstring> picked;
    for (const ViewFragmentPass& p : data->selectionPasses())
        picked.push_back(p.name->text());
    EXPECT_EQ(picked, (std::vector<std::wstring>{L"Model", L"ActiveEdit", L"Manipulator"}));

    // Passes hold clones: later changes to the shared parameters do not reach them.
    EXPECT_NE(passes[0].renderParams.get(), &adapter.sceneEffectParams());
    EXPECT_NE(passes[3].renderParams.get(), static_cast<RenderParams*>(&adapter.selectionEffectParams()));
    EXPECT_NE(passes[3].renderParams->GetInterface(SelectionRenderParams::StaticClassName()), nullptr);
    EXPECT_FALSE(passes[6].renderParams->transparentCollectionEnabled());
    EXPECT_FALSE(passes[7].renderParams->transparentCollectionEnabled());
    EXPECT_TRUE(passes[0].renderParams->transparentCollectionEnabled());
    EXPECT_EQ(fragment->renderParams(model), passes[0].renderParams.get());
    EXPECT_EQ(fragment->findLayerPassPosition(Names::sManipulator), 7);

    EXPECT_EQ(fragment->sceneAssetAdapter(), &adapter);
    sync();
    EXPECT_TRUE(fragment->viewFragmentNode()->HasChild(model)) << "the model is shown under the fragment";
    EXPECT_EQ(fragment->viewFragmentNode()->ChildCount(), 1);

    // An empty document's frame: the model pass collects, the rest have nothing to draw.
    std::vector<ViewFragmentPass> frame;
    data->viewFragmentRenderingPass(frame);
    ASSERT_EQ(frame.size(), 2u);
    EXPECT_EQ(frame[0].name, Names::sModel);
    EXPECT_EQ(frame[1].renderParams->renderer(), eRendererTransparencyOnly);
}

TEST_F(ViewFragmentTest, APassIsAddedForAModelRootOnly) {
    StrongRef<ViewFragment> fragment = ViewFragment::make(segment);
    fragment->scene(nullptr, &RenderParams::layerEffectParams());
    EXPECT_TRUE(dataOf(*fragment)->layerPasses().empty());
    AutoPtr<GroupNode> root = SceneTest::FilledGroup();
    fragment->scene(root, nullptr);
    ASSERT_EQ(dataOf(*fragment)->layerPasses().size(), 1u);
    EXPECT_EQ(fragment->renderParams(0)->renderer(), eRendererLayer) << "no parameters, layer parameters";

    ViewFragmentPass overlay(SceneTest::FilledGroup(), Brio::UniqueString::find(L"Overlay"), false, nullptr);
    fragment->addLayerPass(overlay);
    ViewFragmentPass between(SceneTest::FilledGroup(), Brio::UniqueString::find(L"Between"), true, nullptr);
    fragment->insertLayerPass(1, between);
    EXPECT_EQ(fragment->findLayerPassPosition(between.name), 2);
    fragment->removeLayerPass(overlay.name);
    EXPECT_EQ(fragment->findLayerPassPosition(overlay.name), -1);
    EXPECT_EQ(dataOf(*fragment)->selectionPasses().size(), 2u);
}

TEST_F(ViewFragmentTest, ADependentFragmentShowsThroughTheOneItDependsOn) {
    StrongRef<ViewFragment> main = ViewFragment::make(segment), inset = ViewFragment::make(segment);
    StrongRef<Camera> mainCamera = Camera::make(segment), insetCamera = Camera::make(segment);
    StrongRef<Viewport> mainViewport = Viewport::make(segment);
    StrongRef<Lighting> mainLighting = Lighting::make(segment), insetLighting = Lighting::make(segment);
    main->camera(mainCamera);
    main->viewport(mainViewport);
    main->lighting(mainLighting);
    inset->camera(insetCamera);
    inset->lighting(insetLighting);
    EXPECT_TRUE(inset->independent());
    EXPECT_EQ(inset->camera().getTarget(), insetCamera.getTarget());

    inset->dependentFragment(main);
    EXPECT_FALSE(inset->independent());
    EXPECT_FALSE(dataOf(*inset)->independent());
    EXPECT_EQ(dataOf(*inset)->Target(), main->viewFragmentNode());
    EXPECT_EQ(inset->dependentFragment().getTarget(), main.getTarget());
    EXPECT_EQ(inset->camera().getTarget(), mainCamera.getTarget());
    EXPECT_EQ(inset->viewport().getTarget(), mainViewport.getTarget());
    EXPECT_EQ(inset->lighting().getTarget(), mainLighting.getTarget());

    // Its own values change but stay hidden while it depends.
    StrongRef<Camera> replacement = Camera::make(segment);
    inset->camera(replacement);
    EXPECT_EQ(inset->camera().getTarget(), mainCamera.getTarget());
    EXPECT_EQ(main->camera().getTarget(), mainCamera.getTarget());

    // Through a chain, the end of the chain answers.
    StrongRef<ViewFragment> third = ViewFragment::make(segment);
    third->dependentFragment(inset);
    EXPECT_EQ(third->camera().getTarget(), mainCamera.getTarget());

    // No cycles: a fragment cannot come to depend on itself.
    main->dependentFragment(third);
    main->dependentFragment(main);
    EXPECT_TRUE(main->independent());
    EXPECT_EQ(main->camera().getTarget(), mainCamera.getTarget());

    inset->dependentFragment(nullptr);
    EXPECT_TRUE(inset->independent());
    EXPECT_EQ(dataOf(*inset)->Target(), nullptr);
    EXPECT_EQ(inset->camera().getTarget(), replacement.getTarget());
    EXPECT_EQ(inset->viewport().getTarget(), nullptr);
    EXPECT_EQ(inset->lighting().getTarget(), insetLighting.getTarget());
}

TEST_F(ViewFragmentTest, BoundsBoxWhatTheFragmentShowsWhereItIsPlaced) {
    StrongRef<ViewFragment> fragment = ViewFragment::make(segment);
    EXPECT_TRUE(fragment->bounds().isEmpty());
    fragment->scene(sphereModel({1.0, 2.0, 3.0}, ZoGeVector3d(10.0, 0.0, 0.0)), &RenderParams::sceneEffectParams());

    const Brio::BBox box = fragment->bounds(); // applies the waiting changes first
    ASSERT_FALSE(box.isEmpty());
    EXPECT_FLOAT_EQ(box.min().x, 10.0f);
    EXPECT_FLOAT_EQ(box.min().y, 1.0f);
    EXPECT_FLOAT_EQ(box.min().z, 2.0f);
    EXPECT_FLOAT_EQ(box.max().x, 12.0f);
    EXPECT_FLOAT_EQ(box.max().y, 3.0f);
    EXPECT_FLOAT_EQ(box.max().z, 4.0f);

    // A second root widens the box; a dependent fragment answers the other's box.
    AutoPtr<GroupNode> far = sphereModel({0.0, 0.0, -20.0}, ZoGeVector3d());
    {
        NodeChange change(fragment->viewFragmentNode(), false);
        change.addChild(far);
    }
    StrongRef<ViewFragment> inset = ViewFragment::make(segment);
    inset->scene(SceneTest::FilledGroup(), nullptr);
    inset->dependentFragment(fragment);
    const Brio::BBox wide = inset->bounds();
    EXPECT_FLOAT_EQ(wide.min().z, -21.0f);
    EXPECT_FLOAT_EQ(wide.max().x, 12.0f);
    EXPECT_TRUE(wide == fragment->bounds());
}

} // namespace
