// What a leaf draws from the accumulated attributes: its render item's effect instance and
// settings, the primitive's instance, and recoloured or faded copies of a text's items.
#include "../Walk/AssemblyFixture.h"
#include "EffectTestSupport.h"

#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/EffectCache.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/ClientTraversalState.h>
#include <Lumo/Graphics/TextSystem.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Scene/Attributes/AnalysisEffects.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/CullModeAttribute.h>
#include <Scene/Attributes/DepthPriorityAttribute.h>
#include <Scene/Attributes/MaterialEffectAttribute.h>
#include <Scene/Attributes/ObjectIDAttribute.h>
#include <Scene/Attributes/OccludedEffectAttribute.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Attributes/VertexColorEffectAttribute.h>
#include <Scene/Attributes/ZebraAnalysisAttribute.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/TextNode.h>

using namespace Lumo::Scene;
using namespace SceneTest;
using namespace Lumo::Devices;
using Lumo::Graphics::GeometryNode;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

namespace {
/// The kind an instance answers to, or null.
template <class T> T* As(EffectInstance* e) {
    return e ? static_cast<T*>(e->GetInterface(T::StaticClassName())) : nullptr;
}

EffectInstance* Shared(Attribute* effect, ADrawContext& dc) {
    return static_cast<EffectAttribute*>(effect)->EffectInstance(dc, false);
}

/// Hung on the walk's state, it makes the walk a pick.
class Picking : public Lumo::Graphics::ClientTraversalState {
public:
    ClientTraversalState* Clone() override { return new Picking; }
    ClientTraversalState* Acquire() override { return new Picking; }
    void Reset(ClientTraversalState*) override {}
    void CopyFrom(ClientTraversalState*) override {}
    void Merge(ClientTraversalState&) override {}
    void Clear() override {}
};

/// The walk's state at one leaf and the scene state holding the given attributes.
struct Leaf {
    Lumo::Graphics::RenderItemList items;
    Lumo::Graphics::TraversalState gs;
    AutoPtr<TraversalState> state = TraversalState::Make();

    explicit Leaf(std::initializer_list<Attribute*> attributes, int doubleSided = 0, int style = 2) {
        gs.RenderItems(&items);
        AutoPtr<AttributeSet> set = AttributeSet::Make(nullptr, 0);
        for (Attribute* a : attributes)
            set->SetAttribute(a);
        state->MergeAttributes(set);
        state->DoubleSided(doubleSided);
        state->VisualStyle(style);
    }
    void Pick() {
        AutoPtr<Picking> picking = new Picking;
        gs.ClientState(Lumo::Graphics::TraversalState::SelectionStateName(), picking);
    }
    /// The item the node added, or null.
    RenderItem* Realize(ADrawContext& dc, Lumo::Graphics::ARenderNode* node) {
        const int before = items.Count();
        state->RealizeAttribute(dc, gs, node);
        return items.Count() > before ? items[items.Count() - 1] : nullptr;
    }
    /// Held for the caller: the item goes with the leaf.
    AutoPtr<EffectInstance> EffectOf(ADrawContext& dc, Lumo::Graphics::ARenderNode* node) {
        RenderItem* item = Realize(dc, node);
        return AutoPtr<EffectInstance>(item ? item->Effect() : nullptr);
    }
};

AutoPtr<GeometryNode> Body(EffectInstance* own = nullptr) {
    AutoPtr<GeometryNode> body = GeometryNode::Make();
    AutoPtr<SimpleMesh> mesh = SceneFixture::MakeTriangle();
    body->RenderGeometry(mesh);
    body->EffectInst(own);
    return body;
}

class TraversalStateRealizeTest : public EffectTest {
protected:
    // The shared fonts are let go on both sides, so that fonts an earlier test loaded are not
    // counted as this one's.
    void SetUp() override {
        Lumo::Text::TextSystem::Release();
        EffectTest::SetUp();
    }
    void TearDown() override {
        Lumo::Text::TextSystem::Release(); // the shared fonts the text cases load
        EffectTest::TearDown();
    }
    /// A plain instance: a kind the transparent variant knows nothing about.
    AutoPtr<EffectInstance> Plain() {
        IRenderEffect* material = device->Caches()->Effects()->Acquire(StockEffects::BasicMaterialName());
        return AutoPtr<EffectInstance>(EffectInstance::Make(material));
    }
};
} // namespace

TEST_F(TraversalStateRealizeTest, LeavesWithoutGeometryEmitNothingAndLodFallsBackToLevel15) {
    Leaf leaf({ColorEffectAttribute::Make({1, 0, 0, 1}), DepthPriorityAttribute::Make(7)});
    AutoPtr<GeometryNode> empty = GeometryNode::Make();
    AutoPtr<LODGeometryNode> lod = LODGeometryNode::Make();
    EXPECT_EQ(leaf.Realize(*dc, empty), nullptr);
    EXPECT_EQ(leaf.Realize(*dc, lod), nullptr);
    EXPECT_EQ(leaf.gs.DepthPriority(), 0) << "an undrawn leaf leaves the walk alone";

    AutoPtr<SimpleMesh> fine = SceneFixture::MakeTriangle(), coarse = SceneFixture::MakeTriangle();
    lod->RenderGeometry(fine, LODGeometryNode::kFallbackLevel);
    leaf.gs.GeomLOD(4);
    RenderItem* item = leaf.Realize(*dc, lod);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Geometry(), fine.get());
    lod->RenderGeometry(coarse, 4);
    EXPECT_EQ(leaf.Realize(*dc, lod)->Geometry(), coarse.get());
    EXPECT_EQ(leaf.gs.DepthPriority(), 7);
}

TEST_F(TraversalStateRealizeTest, ItemCarriesEffectObjectIdCullModeAndDepthPriority) {
    AutoPtr<Attribute> colour = ColorEffectAttribute::Make({1, 0, 0, 1});
    auto* id = ObjectIDAttribute::Make();
    Leaf leaf({colour, id, DepthPriorityAttribute::Make(5), CullModeAttribute::Make(eCullFront)});
    AutoPtr<GeometryNode> body = Body();
    ASSERT_TRUE(body->RenderGeometry()->NeedsPreparing());
    RenderItem* item = leaf.Realize(*dc, body);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Geometry(), body->RenderGeometry());
    EXPECT_EQ(item->Effect(), Shared(colour, *dc));
    EXPECT_FALSE(body->RenderGeometry()->NeedsPreparing()) << "prepared for the effect";
    ASSERT_TRUE(item->HasObjectId());
    EXPECT_EQ(item->ObjectId(), id->ObjectID());
    ASSERT_TRUE(item->HasCullMode());
    EXPECT_EQ(item->CullMode(), eCullFront);
    EXPECT_EQ(item->DepthPriority(), 5);
    EXPECT_EQ(leaf.gs.DepthPriority(), 5);

    for (int cull : {0, 4}) {
        Leaf other({CullModeAttribute::Make(ECull(cull))});
        RenderItem* plain = other.Realize(*dc, body);
        ASSERT_NE(plain, nullptr);
        EXPECT_FALSE(plain->HasCullMode()) << cull;
        EXPECT_FALSE(plain->HasObjectId());
        EXPECT_EQ(plain->Effect(), nullptr);
    }
}

TEST_F(TraversalStateRealizeTest, GeometrysOwnEffectWinsUnlessTheAttributeOutranksIt) {
    AutoPtr<SolidEffectInstance> own = SolidEffectInstance::Make(device);
    AutoPtr<GeometryNode> body = Body(own);
    EXPECT_EQ(Leaf({}).EffectOf(*dc, body).get(), own.get());
    struct Case {
        int priority;
        bool winTies, attributeWins;
    } cases[] = {{0, false, false}, {3, false, false}, {2, true, false}, {3, true, true}, {4, false, true}};
    for (const Case& c : cases) {
        AutoPtr<Attribute> colour = ColorEffectAttribute::Make({0, 1, 0, 1}, c.winTies, (unsigned char)c.priority);
        EXPECT_EQ(Leaf({colour}).EffectOf(*dc, body).get(), c.attributeWins ? Shared(colour, *dc) : own.get())
            << "priority " << c.priority << " tie-break " << c.winTies;
    }
}

TEST_F(TraversalStateRealizeTest, OpacityBelowThresholdDrawsATransparentCopyOfTheSharedInstance) {
    AutoPtr<GeometryNode> body = Body();
    AutoPtr<Attribute> colour = ColorEffectAttribute::Make({1, 0, 0, 0.8f});
    auto* shared = As<SolidEffectInstance>(Shared(colour, *dc));
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(Leaf({colour, OpacityAttribute::Make(0.99f, false)}).EffectOf(*dc, body).get(), shared);
    for (bool absolute : {false, true}) {
        AutoPtr<EffectInstance> made = Leaf({colour, OpacityAttribute::Make(0.5f, absolute)}).EffectOf(*dc, body);
        auto* faded = As<SolidEffectInstance>(made);
        ASSERT_NE(faded, nullptr);
        EXPECT_NE(faded, shared);
        EXPECT_FLOAT_EQ(faded->Opacity(), absolute ? 0.5f : 0.4f);
        EXPECT_EQ(Leaf({colour, OpacityAttribute::Make(0.5f, absolute)}).EffectOf(*dc, body), made)
            << "the same base and opacity share one variant";
    }
    EXPECT_FLOAT_EQ(shared->Opacity(), 0.8f) << "the cached instance is shared: never changed";

    // Per-vertex colours lose their own alpha in the copy only.
    AutoPtr<Attribute> vertex = VertexColorEffectAttribute::Make(true, 0.6f);
    auto* sharedVertex = As<SolidEffectInstance>(Shared(vertex, *dc));
    AutoPtr<EffectInstance> made = Leaf({vertex, OpacityAttribute::Make(0.5f, false)}).EffectOf(*dc, body);
    auto* fadedVertex = As<SolidEffectInstance>(made);
    ASSERT_NE(fadedVertex, nullptr);
    EXPECT_FLOAT_EQ(fadedVertex->Opacity(), 0.3f);
    EXPECT_FALSE(fadedVertex->VertexColorAlphaFlag());
    EXPECT_TRUE(sharedVertex->VertexColorAlphaFlag());

    BasicColorMaterial material;
    material.Opacity(0.5f);
    made = Leaf({MaterialEffectAttribute::Make(material, eSourceLiteral), OpacityAttribute::Make(0.25f, true)})
               .EffectOf(*dc, body);
    auto* fadedMaterial = As<BasicMaterialEffectInstance>(made);
    ASSERT_NE(fadedMaterial, nullptr);
    EXPECT_FLOAT_EQ(fadedMaterial->Opacity(), 0.25f);

    // Occluded: each layer faded, relative even when the opacity says absolute.
    made = Leaf({OccludedEffectAttribute::Make(nullptr, {1, 1, 1, 1}, 1.0f, 0.4f), OpacityAttribute::Make(0.5f, true)})
               .EffectOf(*dc, body);
    auto* layered = As<LayeredEffectInstance>(made);
    ASSERT_NE(layered, nullptr);
    EXPECT_TRUE(layered->Transparent());
    ASSERT_EQ(layered->LayerCount(), 2);
    EXPECT_FLOAT_EQ(As<SolidEffectInstance>(layered->Layer(0))->Opacity(), 0.2f);
    EXPECT_FLOAT_EQ(As<SolidEffectInstance>(layered->Layer(1))->Opacity(), 0.5f);

    // Analysis instances carry an opacity of their own.
    AutoPtr<Attribute> zebra = ZebraAnalysisAttribute::Make(ZebraAnalysisData{}, false);
    AutoPtr<EffectInstance> fadedZebra = Leaf({zebra, OpacityAttribute::Make(0.5f, false)}).EffectOf(*dc, body);
    ASSERT_NE(fadedZebra, nullptr);
    EXPECT_NE(fadedZebra, Shared(zebra, *dc));
    EXPECT_FLOAT_EQ(fadedZebra->Values().GetFloat(AnalysisEffects::eZebraOpacity), 0.5f);
    EXPECT_TRUE(fadedZebra->IsTransparent(dc));
    EXPECT_EQ(fadedZebra->StateOverrides(), nullptr) << "no blend factor on top of its own opacity";
    EXPECT_FLOAT_EQ(Shared(zebra, *dc)->Values().GetFloat(AnalysisEffects::eZebraOpacity), 1.0f);

    // Any other kind blends by a constant factor.
    AutoPtr<EffectInstance> plain = Plain();
    AutoPtr<GeometryNode> plainBody = Body(plain);
    AutoPtr<EffectInstance> blended = Leaf({OpacityAttribute::Make(0.5f, false)}).EffectOf(*dc, plainBody);
    ASSERT_NE(blended, nullptr);
    ASSERT_NE(blended, plain.get());
    EXPECT_TRUE(blended->Transparent());
    ASSERT_TRUE(blended->StateOverrides() && blended->StateOverrides()->Blend());
    const ABlendState* blend = blended->StateOverrides()->Blend();
    EXPECT_EQ(blend->BlendFactor(), (vec4<float>(0.5f, 0.5f, 0.5f, 0.5f)));
    EXPECT_TRUE(blend->Target(0).enable);
    EXPECT_EQ(blend->Target(0).src, eBlendFactor);
    EXPECT_EQ(blend->Target(0).dest, eBlendInvFactor);
    EXPECT_FALSE(plain->Transparent());
    EXPECT_EQ(plain->StateOverrides(), nullptr);
}

TEST_F(TraversalStateRealizeTest, PicksAddTheItemWithoutEffectsAndPrimitivesTakeE) {
    AutoPtr<Attribute> colour = ColorEffectAttribute::Make({0, 0, 1, 1});
    AutoPtr<GeometryNode> body = Body();
    AutoPtr<Lumo::Graphics::APrimitiveNode> primitive = Lumo::Graphics::APrimitiveNode::Make();

    Leaf pick({colour});
    pick.Pick();
    RenderItem* picked = pick.Realize(*dc, body);
    ASSERT_NE(picked, nullptr) << "picks need the item";
    EXPECT_EQ(picked->Effect(), nullptr);
    pick.Realize(*dc, primitive);
    EXPECT_EQ(primitive->EffectInst(), nullptr);

    Leaf draw({colour});
    EXPECT_EQ(draw.Realize(*dc, primitive), nullptr) << "primitives add their own items";
    EXPECT_EQ(primitive->EffectInst().get(), Shared(colour, *dc));
    primitive->EffectInst(nullptr);
}

TEST_F(TraversalStateRealizeTest, DoubleSidedFacesGetABackLayerOrLoseCulling) {
    AutoPtr<Attribute> colour = ColorEffectAttribute::Make({0, 0, 1, 0.6f});
    EffectInstance* e = Shared(colour, *dc);
    AutoPtr<GeometryNode> body = Body();
    const vec3<float> backColor(92 / 255.f, 76 / 255.f, 32 / 255.f);
    auto expectBack = [&](EffectInstance* layer, float opacity) {
        auto* back = As<BasicMaterialEffectInstance>(layer);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(back->Diffuse(), backColor);
        EXPECT_EQ(back->Ambient(), backColor);
        EXPECT_EQ(back->Specular(), backColor);
        EXPECT_FLOAT_EQ(back->Opacity(), opacity);
    };

    AutoPtr<EffectInstance> made = Leaf({colour}, 1).EffectOf(*dc, body);
    auto* layered = As<LayeredEffectInstance>(made);
    ASSERT_NE(layered, nullptr);
    ASSERT_EQ(layered->LayerCount(), 2);
    EXPECT_EQ(layered->Layer(0), e);
    expectBack(layered->Layer(1), 0.6f);
    EXPECT_EQ(OverriddenCull(layered->Layer(1)), eCullFront);
    EXPECT_EQ(Leaf({colour}, 1).EffectOf(*dc, body), made) << "one shared variant per base and mode";

    made = Leaf({colour}, 3).EffectOf(*dc, body);
    auto* backFirst = As<LayeredEffectInstance>(made);
    ASSERT_NE(backFirst, nullptr);
    ASSERT_EQ(backFirst->LayerCount(), 2);
    expectBack(backFirst->Layer(0), 0.6f);
    auto* front = As<SolidEffectInstance>(backFirst->Layer(1));
    ASSERT_NE(front, nullptr);
    EXPECT_NE(front, e);
    EXPECT_EQ(front->Color(), As<SolidEffectInstance>(e)->Color());
    EXPECT_EQ(OverriddenCull(front), eCullFront);
    EXPECT_EQ(OverriddenCull(e), std::nullopt) << "the shared instance stays as it was";

    for (int style : {3, 4, 5})
        EXPECT_EQ(Leaf({colour}, 1, style).EffectOf(*dc, body).get(), e) << style;
    EXPECT_EQ(Leaf({colour, CullModeAttribute::Make(eCullBack)}, 1).EffectOf(*dc, body).get(), e);
    EXPECT_EQ(Leaf({colour}, 0).EffectOf(*dc, body).get(), e);

    // Plain double-sided drawing: a copy that culls nothing.
    auto expectUnculled = [&](AutoPtr<EffectInstance> got, EffectInstance* from) {
        ASSERT_NE(got, nullptr);
        EXPECT_NE(got, from);
        EXPECT_EQ(As<LayeredEffectInstance>(got), nullptr);
        EXPECT_EQ(OverriddenCull(got), eCullNone);
        EXPECT_EQ(got->Transparent(), from->IsTransparent(dc));
    };
    expectUnculled(Leaf({colour}, 2).EffectOf(*dc, body), e);
    expectUnculled(Leaf({colour}, 1, 6).EffectOf(*dc, body), e);
    EXPECT_EQ(Leaf({colour}, 2).EffectOf(*dc, body), Leaf({colour}, 1, 6).EffectOf(*dc, body));
    TraversalState::NormalDoubleSideDisplay(true);
    expectUnculled(Leaf({colour}, 1).EffectOf(*dc, body), e);
    TraversalState::NormalDoubleSideDisplay(false);
    AutoPtr<Attribute> zebra = ZebraAnalysisAttribute::Make(ZebraAnalysisData{}, false);
    expectUnculled(Leaf({zebra}, 1).EffectOf(*dc, body), Shared(zebra, *dc));

    // A kind without a known opacity: opaque, or the fading opacity (0.4 by default) once transparent.
    AutoPtr<EffectInstance> plain = Plain();
    AutoPtr<GeometryNode> plainBody = Body(plain);
    auto backOf = [&](Leaf&& leaf) {
        AutoPtr<EffectInstance> got = leaf.EffectOf(*dc, plainBody);
        auto* l = As<LayeredEffectInstance>(got);
        return AutoPtr<EffectInstance>(l && l->LayerCount() == 2 ? l->Layer(1) : nullptr);
    };
    expectBack(backOf(Leaf({}, 1)), 1.0f);
    expectBack(backOf(Leaf({OpacityAttribute::Make(0.7f, false)}, 1)), 0.7f);
    plain->Transparent(true);
    expectBack(backOf(Leaf({}, 1)), 0.4f);
}

TEST_F(TraversalStateRealizeTest, TextIsRecolouredByAnOutrankingColourEffectAndCachedPerKey) {
    AutoPtr<TextNode> text = TextNode::Make();
    text->TextData(L"Label 12");
    text->Priority(2);
    auto realize = [&](Leaf&& leaf) -> AutoPtr<EffectInstance> {
        text->RealizeNode(*dc, leaf.gs, nullptr);
        leaf.state->RealizeAttribute(*dc, leaf.gs, text);
        return leaf.items.Count() == 1 ? leaf.items[0]->Effect() : nullptr;
    };
    AutoPtr<EffectInstance> base = realize(Leaf({}));
    ASSERT_NE(As<SolidEffectInstance>(base), nullptr);
    const vec4<float> baseColour = As<SolidEffectInstance>(base)->Color();

    const vec4<float> red(1, 0, 0, 1);
    EXPECT_EQ(realize(Leaf({ColorEffectAttribute::Make(red, false, 2)})).get(), base.get()) << "does not outrank";
    AutoPtr<Attribute> outranking = ColorEffectAttribute::Make(red, false, 3);
    AutoPtr<EffectInstance> recoloured = realize(Leaf({outranking}));
    ASSERT_NE(As<SolidEffectInstance>(recoloured), nullptr);
    EXPECT_NE(recoloured.get(), base.get());
    EXPECT_EQ(As<SolidEffectInstance>(recoloured)->Color(), red);
    EXPECT_EQ(As<SolidEffectInstance>(base)->Color(), baseColour) << "the text's own item is kept";
    EXPECT_EQ(realize(Leaf({outranking})).get(), recoloured.get()) << "built once per key";
    AutoPtr<EffectInstance> tie = realize(Leaf({ColorEffectAttribute::Make(red, true, 2)}));
    ASSERT_NE(As<SolidEffectInstance>(tie), nullptr);
    EXPECT_EQ(As<SolidEffectInstance>(tie)->Color(), red) << "the tie-break flag outranks too";
}

TEST_F(TraversalStateRealizeTest, FadedTextDrawsHiddenThenVisibleLayers) {
    AutoPtr<TextNode> text = TextNode::Make();
    text->TextData(L"Label 12");
    Leaf leaf({OpacityAttribute::Make(0.5f, false)});
    text->RealizeNode(*dc, leaf.gs, nullptr);
    leaf.state->RealizeAttribute(*dc, leaf.gs, text);
    ASSERT_EQ(leaf.items.Count(), 1);
    auto* layered = As<LayeredEffectInstance>(leaf.items[0]->Effect());
    ASSERT_NE(layered, nullptr);
    EXPECT_TRUE(layered->Transparent());
    ASSERT_EQ(layered->LayerCount(), 2);
    const EComparison compares[] = {eCompareGreater, eCompareLessEqual};
    for (int i = 0; i < 2; ++i) {
        EffectInstance* layer = layered->Layer(i);
        EXPECT_FLOAT_EQ(layer->Values().GetFloat(StockEffects::eSolidOpacity), 0.5f);
        ASSERT_TRUE(layer->StateOverrides() && layer->StateOverrides()->DepthStencil());
        const ADepthStencilState* depth = layer->StateOverrides()->DepthStencil();
        EXPECT_TRUE(depth->DepthTest());
        EXPECT_EQ(depth->DepthFunc(), compares[i]) << "layer " << i;
    }
    EXPECT_FALSE(layered->Layer(0)->StateOverrides()->DepthStencil()->DepthWrite());
}
