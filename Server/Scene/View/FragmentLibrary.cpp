#include <Scene/View/FragmentLibrary.h>

#include <Scene/Selection/HWSelectionSWFilterAgent.h>
#include <Scene/Selection/SelectionOutputAgent.h>
#include <Scene/Selection/TavexSWPickAgent.h>

#include <Scene/Foundations/AddInStaticInternal.h>
#include <Scene/View/EdgeProcessAgent.h>
#include <Scene/View/FacetOrderAgent.h>
#include <Scene/View/FragmentCallbacks.h>
#include <Scene/View/LODAgent.h>
#include <Scene/View/LODStrategy.h>
#include <Scene/View/MultiPassFilterAgent.h>
#include <Scene/View/RenderParams.h>
#include <Scene/View/SliceAgent.h>
#include <Scene/View/SliceCapAgent.h>
#include <Scene/View/VisibilityAgent.h>
#include <Scene/View/VisualStyleAgent.h>

#include <Brio/Base/PathInfo.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/FragmentGraph.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Graphics/FragmentLibraryFile.h>
#include <Lumo/Graphics/ScriptFragment.h>
#include <Lumo/Graphics/ScriptFragmentHelper.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Objects/ClassFactory.h>
#include <Lumo/Objects/SBox3.h>
#include <Lumo/Objects/UString.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <vector>

namespace Brio::Scene {

using Lumo::Devices::AFragment;
using Lumo::Devices::FragmentGraph;
using Lumo::Devices::FragmentValue;
using Lumo::Graphics::ScriptFragment;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::Intern;

namespace {

struct LibraryState {
    std::mutex mutex;
    bool initialized = false;
    std::string error;
};
LibraryState& State() {
    static AddInStatic<LibraryState> s;
    return *s;
}
std::atomic<bool> g_useOIT{false}, g_fastHalo{false};

const wchar_t* kFacesAgents = L"DrawFilterAgent,VisibilityAgent,RealizeBoxAgent,FrustumAgent,TavexLODAgent,"
                              L"MultiPassFilterAgent,SwapAgent,EdgeProcessAgent,SliceCapAgent,TextureAgent,"
                              L"TransparencyAgent,DrawAgent";

/// A clone of a named fragment of the library file, or null when the file lacks it.
AutoPtr<AFragment> Acquire(const wchar_t* name) {
    AFragment* prototype = Lumo::Graphics::ScriptFragmentHelper::AcquireFragment(Intern(name));
    return prototype ? AutoPtr<AFragment>(prototype->Clone()) : AutoPtr<AFragment>();
}

/// Chains b after a by their "final" target (b draws into what a drew).
void Chain(FragmentGraph* g, AFragment* a, AFragment* b) {
    if (a && b && a->OutputIndex(Intern(L"final")) >= 0 && b->InputIndex(Intern(L"final")) >= 0)
        g->Connect(a, Intern(L"final"), b, Intern(L"final"));
}

template <class T> void RegisterPrototype() {
    Lumo::Objects::ClassFactory::Get().Register(T::StaticClassName(),
                                                [] { return static_cast<Lumo::Objects::ARefCounted*>(T::Make()); });
}

void Cmd(ScriptFragment* f, std::initializer_list<const wchar_t*> tokens) {
    ScriptFragment::Command c;
    for (const wchar_t* t : tokens)
        c.emplace_back(t);
    f->AddCommand(std::move(c));
}

} // namespace

bool FragmentLibrary::isInitialized() {
    return State().initialized;
}
const std::string& FragmentLibrary::lastError() {
    return State().error;
}
bool FragmentLibrary::useOIT() {
    return g_useOIT.load();
}
void FragmentLibrary::useOIT(bool on) {
    g_useOIT.store(on);
}
bool FragmentLibrary::fastHalo() {
    return g_fastHalo.load();
}
void FragmentLibrary::fastHalo(bool on) {
    g_fastHalo.store(on);
}

bool FragmentLibrary::initializeFragmentLibrary() {
    LibraryState& s = State();
    std::lock_guard lock(s.mutex);
    s.error.clear();
    const auto path = Brio::PathInfo::coreAddInDirectory() / Lumo::Graphics::FragmentLibraryFile::FileName();
    const int loaded = Lumo::Graphics::FragmentLibraryFile::Load(path, &s.error);
    initRendererFragment();
    Lumo::Graphics::ScriptFragmentHelper::InitializeFragmentManager();
    RegisterPrototype<TwoSidedProcessor>();
    Lumo::Objects::ClassFactory::Get().Register(Intern(L"Tavex_SortRenderListByZ"), [] {
        return static_cast<Lumo::Objects::ARefCounted*>(SortRenderListByZ::Make());
    });
    Lumo::Objects::ClassFactory::Get().Register(Intern(L"Tavex_MergeRenderLists"), [] {
        return static_cast<Lumo::Objects::ARefCounted*>(MergeRenderLists::Make());
    });
    Lumo::Objects::ClassFactory::Get().Register(Intern(L"Tavex_SetClippingPlane"), [] {
        return static_cast<Lumo::Objects::ARefCounted*>(SetClippingPlane::Make());
    });
    Lumo::Graphics::ScriptPipeRenderer::RegisterStockAgents();
    RegisterPrototype<VisibilityAgent>();
    RegisterPrototype<Lumo::Graphics::LODAgent>();
    RegisterPrototype<MultiPassFilterAgent>();
    RegisterPrototype<EdgeProcessAgent>();
    RegisterPrototype<SliceAgent>();
    RegisterPrototype<SliceCapAgent>();
    RegisterPrototype<VisualStyleAgent>();
    RegisterPrototype<FacetOrderAgent>();
    // The selector's agents, so that pick lists may name them too.
    RegisterPrototype<SelectionOutputAgent>();
    RegisterPrototype<HWSelectionSWFilterAgent>();
    RegisterPrototype<TavexSWPickAgent>();
    using Lumo::Graphics::ScriptPipeRenderer;
    ScriptPipeRenderer::DefineAgentList(
        L"::StdDrawAgents", L"DrawFilterAgent,VisibilityAgent,RealizeBoxAgent,FrustumAgent,TavexLODAgent,SwapAgent,"
                            L"TextureAgent,DrawAgent");
    ScriptPipeRenderer::DefineAgentList(L"::StdOpaqueAgents", kFacesAgents);
    ScriptPipeRenderer::DefineAgentList(L"::StdShadowMapAgents",
                                        L"DrawFilterAgent,VisibilityAgent,ShadowCastingFilterAgent,RealizeBoxAgent,"
                                        L"FrustumAgent,TavexLODAgent,DrawAgent");
    s.initialized = true;
    return loaded >= 0;
}

void FragmentLibrary::terminateFragmentLibrary() {
    LibraryState& s = State();
    std::lock_guard lock(s.mutex);
    Lumo::Graphics::ScriptFragmentHelper::TerminateFragmentManager();
    // The factory's creators are this library's code: none may stay behind it.
    Lumo::Objects::ClassFactory& factory = Lumo::Objects::ClassFactory::Get();
    for (const wchar_t* name :
         {L"Tavex_SortRenderListByZ", L"Tavex_MergeRenderLists", L"Tavex_SetClippingPlane", L"VE_PipelineRenderer"})
        factory.Unregister(Intern(name));
    for (Lumo::Objects::UString* name :
         {TwoSidedProcessor::StaticClassName(), VisibilityAgent::StaticClassName(),
          Lumo::Graphics::LODAgent::StaticClassName(), MultiPassFilterAgent::StaticClassName(),
          EdgeProcessAgent::StaticClassName(), SliceAgent::StaticClassName(), SliceCapAgent::StaticClassName(),
          VisualStyleAgent::StaticClassName(), FacetOrderAgent::StaticClassName(),
          SelectionOutputAgent::StaticClassName(), HWSelectionSWFilterAgent::StaticClassName(),
          TavexSWPickAgent::StaticClassName()})
        factory.Unregister(name);
    s.initialized = false;
}

void FragmentLibrary::initRendererFragment() {
    AutoPtr<ScriptFragment> f(
        ScriptFragment::Make(Intern(L"VE_PipelineRenderer"), L"Fragment producing a renderer parameter"));
    f->RequiredFeatureLevel(20);
    f->AddInput(Intern(L"world"));
    f->AddInput(Intern(L"drawAgents"));
    f->AddInput(Intern(L"lodStrategy"));
    f->AddOutput(Intern(L"output"));
    AutoPtr<LODStrategy> lod(LODStrategy::make());
    f->SetArgument(Intern(L"lodStrategy"), FragmentValue::Object(lod));
    Cmd(f, {L"SetRenderer", L"ScriptPipeRenderer", L"ScriptPipeRenderer", L"@drawAgents"});
    Cmd(f, {L"SetRenderParameter", L"ScriptPipeRenderer", L"LOD Strategy", L"@lodStrategy"});
    Cmd(f, {L"SetParameter", L"@output", L"@ScriptPipeRenderer"});
    Lumo::Graphics::ScriptFragmentHelper::RegisterFragment(f);
    AutoPtr<AFragment> prototype(f.get());
    Lumo::Objects::ClassFactory::Get().Register(Intern(L"VE_PipelineRenderer"), [prototype] {
        return static_cast<Lumo::Objects::ARefCounted*>(prototype->Clone());
    });
}

AFragment* FragmentLibrary::createBrioDraw3dFragment() {
    ScriptFragment* f = ScriptFragment::Make(Intern(L"VE_BrioDraw3DFragment_Imp"),
                                             L"change VE_Draw3DFragment to accept a traversal state list to collect "
                                             L"transparent nodes and don't render them.");
    f->RequiredFeatureLevel(20);
    for (const wchar_t* in :
         {L"dummy", L"DrawToDepthOnly", L"HasEdgesPass", L"FilterFaces", L"noculltransparency", L"backfacetransparency",
          L"depthstencil", L"viewport", L"lodStrategy", L"transpTraversalStateList", L"final"})
        f->AddInput(Intern(in));
    f->AddOutput(Intern(L"output"));
    f->AddOutput(Intern(L"final"));
    AutoPtr<LODStrategy> lod(LODStrategy::make());
    f->SetArgument(Intern(L"lodStrategy"), FragmentValue::Object(lod));
    Cmd(f, {L"Declare", L"transpList", L"TraversalStateList"});
    Cmd(f, {L"Declare", L"edgeTranspList", L"TraversalStateList"});
    Cmd(f, {L"AssignIfSet", L"transpList", L"@transpTraversalStateList"});
    // Without a target handed in, draw into one of our own, cleared to white.
    Cmd(f, {L"IfNot", L"@final"});
    Cmd(f, {L"AcquireTarget", L"localSceneTarg", L"EFORMAT_R8G8B8A8_UNORM"});
    Cmd(f, {L"SetTarget", L"@localSceneTarg"});
    Cmd(f, {L"Clear", L"1", L"1.0,1.0,1.0,1.0", L"1", L"0"});
    Cmd(f, {L"Else"});
    Cmd(f, {L"Assign", L"localSceneTarg", L"@final"});
    Cmd(f, {L"SetTarget", L"@localSceneTarg"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"SetViewport", L"@viewport"});
    Cmd(f, {L"SetDepthStencil", L"@depthstencil"});
    Cmd(f, {L"SetCamera", L"@camera"});
    Cmd(f, {L"RestoreOverrideEffect"});
    // Faces pass: edges are held out (they get their own pass), faces pushed back a little so
    // that edges drawn later win the depth test.
    Cmd(f, {L"Assign", L"facesAgents", L"::StdOpaqueAgents"});
    Cmd(f, {L"AssignIfSet", L"facesAgents", L"@drawAgents"});
    Cmd(f, {L"SetRenderer", L"facesPassRenderer", L"ScriptPipeRenderer", L"@facesAgents"});
    Cmd(f, {L"SetRenderParameter", L"facesPassRenderer", L"LOD Strategy", L"@lodStrategy"});
    Cmd(f, {L"SetRenderParameter", L"facesPassRenderer", L"TransparencyList", L"@transpList"});
    Cmd(f, {L"SetRenderParameter", L"facesPassRenderer", L"MultiThreaded", L"@multiThreaded"});
    Cmd(f, {L"SetRenderParameter", L"facesPassRenderer", L"DoCapping", L"true"});
    Cmd(f, {L"SetRenderParameter", L"facesPassRenderer", L"InFacesPass1", L"true"});
    Cmd(f, {L"SetRenderParameter", L"facesPassRenderer", L"InFacesPass2", L"true"});
    Cmd(f, {L"SetRenderParameter", L"facesPassRenderer", L"DrawEdgeInFacesPass", L"true"});
    Cmd(f, {L"If", L"@DrawToDepthOnly"});
    Cmd(f, {L"State", L"WriteMask", L"None"});
    Cmd(f, {L"Else"});
    Cmd(f, {L"State", L"WriteMask", L"RedGreenBlueAlpha"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"If", L"@HasEdgesPass"});
    Cmd(f, {L"State", L"Bias", L"1", L"2"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"Render", L"facesPassRenderer", L"@world"});
    Cmd(f, {L"RestoreState"});
    // Edges pass: only edges, in the edge colour, over the faces.
    Cmd(f, {L"If", L"@HasEdgesPass"});
    Cmd(f, {L"SetRenderer", L"edgesPassRenderer", L"ScriptPipeRenderer", kFacesAgents});
    Cmd(f, {L"SetRenderParameter", L"edgesPassRenderer", L"LOD Strategy", L"@lodStrategy"});
    Cmd(f, {L"SetRenderParameter", L"edgesPassRenderer", L"TransparencyList", L"@edgeTranspList"});
    Cmd(f, {L"SetRenderParameter", L"edgesPassRenderer", L"InFacesPass1", L"false"});
    Cmd(f, {L"SetRenderParameter", L"edgesPassRenderer", L"FilterFaces", L"@FilterFaces"});
    Cmd(f, {L"SetRenderParameter", L"edgesPassRenderer", L"InFacesPass2", L"false"});
    Cmd(f, {L"SetRenderParameter", L"edgesPassRenderer", L"DrawEdgeInFacesPass", L"false"});
    Cmd(f, {L"SetRenderParameter", L"edgesPassRenderer", L"DoCapping", L"false"});
    Cmd(f, {L"Render", L"edgesPassRenderer", L"@world"});
    Cmd(f, {L"EndIf"});
    // Transparent geometry: merged, and unless a list was handed in (a later pass resolves
    // it), sorted far to near and blended now.
    Cmd(f, {L"Call", L"Tavex_MergeRenderLists", L"@transpList", L"@edgeTranspList"});
    Cmd(f, {L"IfNot", L"@transpTraversalStateList"});
    Cmd(f, {L"Call", L"Tavex_SortRenderListByZ", L"@transpList"});
    Cmd(f, {L"State", L"Blend", L"BlendMultOver"});
    Cmd(f, {L"State", L"Depth", L"ZLessEqualNoW"});
    Cmd(f, {L"If", L"@backfacetransparency"});
    Cmd(f, {L"Declare", L"transpListCullFront", L"TraversalStateList"});
    Cmd(f, {L"Declare", L"transpListCullBack", L"TraversalStateList"});
    Cmd(f, {L"Call", L"TwoSidedProcessor", L"@transpList", L"@transpListCullFront", L"@transpListCullBack"});
    Cmd(f, {L"State", L"Cull", L"ECullFront"});
    Cmd(f, {L"DrawList", L"@transpListCullFront"});
    Cmd(f, {L"State", L"Cull", L"ECullBack"});
    Cmd(f, {L"DrawList", L"@transpListCullBack"});
    Cmd(f, {L"Else"});
    Cmd(f, {L"If", L"@noculltransparency"});
    Cmd(f, {L"State", L"Cull", L"ECullNone"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"DrawList", L"@transpList"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"RestoreState"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"SetParameter", L"@output", L"@localSceneTarg"});
    Cmd(f, {L"SetParameter", L"@final", L"@localSceneTarg"});
    return f;
}

FragmentGraph* FragmentLibrary::BeautyOnly(const wchar_t* name, const RenderParams& p) {
    FragmentGraph* g = FragmentGraph::Make(Intern(name));
    AutoPtr<FragmentGraph> beauty(createBeautyPassFragment(p));
    g->AddFragment(beauty);
    g->ExposeOutput(beauty, Intern(L"final"), Intern(L"final"));
    g->RequiredFeatureLevel(20);
    return g;
}

FragmentGraph* FragmentLibrary::createBeautyPassFragment(const RenderParams&) {
    // Its agents default to "::StdOpaqueAgents"; a pass's "drawAgents" argument replaces them.
    AutoPtr<AFragment> draw(createBrioDraw3dFragment());
    FragmentGraph* g = FragmentGraph::Make(Intern(L"Patched_VE_Draw3DFragment_Imp"));
    g->RequiredFeatureLevel(20);
    g->AddFragment(draw);
    for (const auto& out : draw->Outputs())
        g->ExposeOutput(draw, out.name, out.name);
    return g;
}

AFragment* FragmentLibrary::appendEnvironmentFragment(FragmentGraph* g, AFragment* prev) {
    AutoPtr<AFragment> e = Acquire(L"VE_Draw3DFragment");
    if (!e)
        return prev;
    g->AddFragment(e);
    g->ExposeInput(e, Intern(L"world"), Intern(L"Environment"));
    Chain(g, prev, e);
    return e;
}

AFragment* FragmentLibrary::appendBackGroundFragment(FragmentGraph* g, AFragment* prev) {
    AutoPtr<AFragment> c = Acquire(L"VE_ClearFragment");
    if (!c)
        return prev;
    // Drawn after the scene: it fills only what the scene left empty.
    c->SetArgument(Intern(L"fillBehind"), FragmentValue::Bool(true));
    g->AddFragment(c);
    Chain(g, prev, c);
    return c;
}

AFragment* FragmentLibrary::appendLayoutGridFragment(FragmentGraph* g, AFragment* prev) {
    AutoPtr<AFragment> grid = Acquire(L"VE_Draw3DFragment");
    if (!grid)
        return prev;
    g->AddFragment(grid);
    // The first grid is the graph's "layoutGrid" argument; a later one reads the same.
    if (!g->ExposeInput(grid, Intern(L"world"), Intern(L"layoutGrid")))
        grid->SetArgument(Intern(L"world"), FragmentValue::Text(L"@layoutGrid"));
    Chain(g, prev, grid);
    return grid;
}

AFragment* FragmentLibrary::appendObjectShadowFragment(FragmentGraph* g, AFragment* prev, const RenderParams& p) {
    // Object shadows (one part on another) come with a later change; the map is made so the
    // graph has its place, and the chain goes on unchanged.
    AutoPtr<AFragment> map = Acquire(p.objectShadowType() == 1 ? L"VE_SharpShadowMap" : L"VE_SoftShadows_Map");
    if (!map)
        return prev;
    map->SetArgument(Intern(L"shadowMapAgents"), FragmentValue::Text(L"::StdShadowMapAgents"));
    g->AddFragment(map);
    Chain(g, prev, map);
    return map;
}

AFragment* FragmentLibrary::appendGroundEffectGraph(FragmentGraph* g, AFragment* prev, const RenderParams& p) {
    AFragment* last = prev;
    if (p.renderGroundShadow()) {
        AutoPtr<AFragment> map = Acquire(L"VE_SoftShadows_Map");
        AutoPtr<AFragment> render = Acquire(L"VE_SoftShadows_Render");
        if (map && render) {
            g->AddFragment(map);
            g->AddFragment(render);
            map->SetArgument(Intern(L"shadowMapAgents"), FragmentValue::Text(L"::StdShadowMapAgents"));
            g->ExposeInput(map, Intern(L"shadowMapAgents"), Intern(L"shadowMapAgents"));
            g->ExposeInput(render, Intern(L"ShadowIntensity"), Intern(L"ShadowIntensity"));
            g->ExposeInput(render, Intern(L"ShadowColor"), Intern(L"ShadowColor"));
            g->Connect(map, Intern(L"shadowMap"), render, Intern(L"shadowMap"));
            Chain(g, last, map);
            Chain(g, map, render);
            last = render;
        }
    }
    // The planar reflection comes with a later change.
    return last;
}

AFragment* FragmentLibrary::appendAmbientOcclusion(FragmentGraph*, AFragment* prev) {
    return prev; // screen-space ambient occlusion comes with a later change
}

AFragment* FragmentLibrary::appendNPREffectGraph(FragmentGraph*, AFragment* prev, const RenderParams&) {
    return prev; // the NPR effects come with a later change
}

AFragment* FragmentLibrary::createSelectionCompositeEffectFragment() {
    // The composite of lines, glow, base colour and halo comes with the selection graphs.
    ScriptFragment* f = ScriptFragment::Make(Intern(L"NPR_SelectionCompositePass_Imp"),
                                             L"Composite the selection effect parts(lines, glow, base color and halo)");
    for (const wchar_t* in :
         {L"mask", L"useBase", L"baseColor", L"backFaceColor", L"halo", L"useHalo", L"haloColor", L"useLines", L"lines",
          L"lineColor", L"hiddenLineColor", L"useGlow", L"glowColor", L"glow", L"fxaaEnabled", L"useMinAlphaBlendOp"})
        f->AddInput(Intern(in));
    return f;
}

FragmentGraph* FragmentLibrary::createVisualEffectGraph(const RenderParams& p) {
    int level = 20;
    FragmentGraph* g = FragmentGraph::Make(Intern(L"TavexVisualEffectGraph"));
    AutoPtr<FragmentGraph> beauty(createBeautyPassFragment(p));
    g->AddFragment(beauty);
    AFragment* last = beauty;
    if (p.environmentEnabled()) {
        AFragment* e = appendEnvironmentFragment(g, last);
        last = appendBackGroundFragment(g, e);
    } else {
        last = appendBackGroundFragment(g, last);
    }
    last = appendLayoutGridFragment(g, last);
    if (p.renderObjectShadow()) {
        last = appendObjectShadowFragment(g, last, p);
        last = appendLayoutGridFragment(g, last);
    }
    if (p.groundPlaneEnabled() && (p.groundReflectionEnabled() || p.renderGroundShadow()))
        last = appendGroundEffectGraph(g, last, p);
    if (p.renderAmbientOcclusion()) {
        level = std::max(level, 30);
        last = appendAmbientOcclusion(g, last);
    }
    if (p.nprEffect() != 0) {
        level = std::max(level, 30);
        last = appendNPREffectGraph(g, last, p);
    }
    if (last)
        g->ExposeOutput(last, Intern(L"final"), Intern(L"final"));
    g->RequiredFeatureLevel(level);
    g->Category(L"SceneDraw");
    return g;
}

FragmentGraph* FragmentLibrary::createLayerEffectGraph(const RenderParams& p) {
    FragmentGraph* g = BeautyOnly(L"TavexLayerEffectGraph", p);
    g->Category(L"SceneDraw");
    return g;
}

FragmentGraph* FragmentLibrary::createTransparencyOnlyEffectGraph(const RenderParams&) {
    // Weighted-average transparency (UseOIT) comes with a later change: both ways sort and blend.
    AutoPtr<ScriptFragment> f(ScriptFragment::Make(Intern(L"VE_Draw3DTransparencyOnly"), L"render transparent nodes"));
    f->RequiredFeatureLevel(20);
    for (const wchar_t* in : {L"final", L"depthstencil", L"viewport", L"camera", L"transpTraversalStateList",
                              L"backfacetransparency", L"noculltransparency"})
        f->AddInput(Intern(in));
    f->AddOutput(Intern(L"final"));
    Cmd(f, {L"SetTarget", L"@final"});
    Cmd(f, {L"SetViewport", L"@viewport"});
    Cmd(f, {L"SetDepthStencil", L"@depthstencil"});
    Cmd(f, {L"SetCamera", L"@camera"});
    Cmd(f, {L"If", L"@transpTraversalStateList"});
    Cmd(f, {L"Call", L"Tavex_SortRenderListByZ", L"@transpTraversalStateList"});
    Cmd(f, {L"State", L"Blend", L"BlendMultOver"});
    Cmd(f, {L"State", L"Depth", L"ZLessEqualNoW"});
    Cmd(f, {L"If", L"@backfacetransparency"});
    Cmd(f, {L"Declare", L"transpListCullFront", L"TraversalStateList"});
    Cmd(f, {L"Declare", L"transpListCullBack", L"TraversalStateList"});
    Cmd(f,
        {L"Call", L"TwoSidedProcessor", L"@transpTraversalStateList", L"@transpListCullFront", L"@transpListCullBack"});
    Cmd(f, {L"State", L"Cull", L"ECullFront"});
    Cmd(f, {L"DrawList", L"@transpListCullFront"});
    Cmd(f, {L"State", L"Cull", L"ECullBack"});
    Cmd(f, {L"DrawList", L"@transpListCullBack"});
    Cmd(f, {L"Else"});
    Cmd(f, {L"DrawList", L"@transpTraversalStateList"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"RestoreState"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"SetParameter", L"@final", L"@final"});
    FragmentGraph* g = FragmentGraph::Make(Intern(L"TavexTransparencyOnlyGraph"));
    g->AddFragment(f);
    g->ExposeOutput(f, Intern(L"final"), Intern(L"final"));
    g->RequiredFeatureLevel(20);
    g->Category(L"SceneDraw");
    return g;
}

namespace {

/// Draws a selection scene's faces and edges again over the model in the effect's colours: the
/// faces as a wash blended over what is seen of them, the edges as lines on top, and (when
/// asked) the edges hidden behind other geometry faintly through it. The pass renderer hands in
/// the colours as swap effects ("baseEffect", "lineEffect", "hiddenLineEffect").
FragmentGraph* HighlightGraph(const wchar_t* name) {
    AutoPtr<ScriptFragment> f(ScriptFragment::Make(Intern(L"NPR_HighlightDraw"), L"draw a selection over the model"));
    f->RequiredFeatureLevel(20);
    for (const wchar_t* in : {L"final", L"depthstencil", L"viewport", L"world", L"linesWorld", L"lodStrategy"})
        f->AddInput(Intern(in));
    f->AddOutput(Intern(L"final"));
    AutoPtr<LODStrategy> lod(LODStrategy::make());
    f->SetArgument(Intern(L"lodStrategy"), FragmentValue::Object(lod));
    const wchar_t* agents =
        L"DrawFilterAgent,VisibilityAgent,RealizeBoxAgent,FrustumAgent,TavexLODAgent,SwapAgent,DrawAgent";
    Cmd(f, {L"SetTarget", L"@final"});
    Cmd(f, {L"SetViewport", L"@viewport"});
    Cmd(f, {L"SetDepthStencil", L"@depthstencil"});
    Cmd(f, {L"SetCamera", L"@camera"});
    Cmd(f, {L"RestoreOverrideEffect"});
    // Hidden edges first, so that the visible ones are drawn over them.
    Cmd(f, {L"If", L"@useHiddenLines"});
    Cmd(f, {L"SetRenderer", L"hiddenLinesRenderer", L"ScriptPipeRenderer", agents});
    Cmd(f, {L"SetRenderParameter", L"hiddenLinesRenderer", L"LOD Strategy", L"@lodStrategy"});
    Cmd(f, {L"SetRenderParameter", L"hiddenLinesRenderer", L"SwapEffect", L"@hiddenLineEffect"});
    Cmd(f, {L"State", L"Depth", L"ZOff"});
    Cmd(f, {L"Render", L"hiddenLinesRenderer", L"@linesWorld"});
    Cmd(f, {L"RestoreState"});
    Cmd(f, {L"EndIf"});
    // The wash: only where the selected faces are what the model pass left in front (less-equal
    // against its depth, pulled a little toward the eye so that coplanar faces pass), without
    // writing depth.
    Cmd(f, {L"If", L"@useBase"});
    Cmd(f, {L"SetRenderer", L"baseRenderer", L"ScriptPipeRenderer", agents});
    Cmd(f, {L"SetRenderParameter", L"baseRenderer", L"LOD Strategy", L"@lodStrategy"});
    Cmd(f, {L"SetRenderParameter", L"baseRenderer", L"SwapEffect", L"@baseEffect"});
    Cmd(f, {L"State", L"Depth", L"ZLessEqualNoW"});
    Cmd(f, {L"State", L"Bias", L"-1", L"-4"});
    Cmd(f, {L"Render", L"baseRenderer", L"@world"});
    Cmd(f, {L"RestoreState"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"If", L"@useLines"});
    Cmd(f, {L"SetRenderer", L"linesRenderer", L"ScriptPipeRenderer", agents});
    Cmd(f, {L"SetRenderParameter", L"linesRenderer", L"LOD Strategy", L"@lodStrategy"});
    Cmd(f, {L"SetRenderParameter", L"linesRenderer", L"SwapEffect", L"@lineEffect"});
    Cmd(f, {L"State", L"Depth", L"ZLessEqualNoW"});
    Cmd(f, {L"Render", L"linesRenderer", L"@linesWorld"});
    // A sketch's second edges, in their own colour.
    Cmd(f, {L"If", L"@linesWorld2"});
    Cmd(f, {L"SetRenderParameter", L"linesRenderer", L"SwapEffect", L"@lineEffect2"});
    Cmd(f, {L"Render", L"linesRenderer", L"@linesWorld2"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"RestoreState"});
    Cmd(f, {L"EndIf"});
    Cmd(f, {L"SetParameter", L"@final", L"@final"});
    FragmentGraph* g = FragmentGraph::Make(Intern(name));
    g->AddFragment(f);
    g->ExposeOutput(f, Intern(L"final"), Intern(L"final"));
    g->RequiredFeatureLevel(20);
    return g;
}

} // namespace

FragmentGraph* FragmentLibrary::createSelectionEffectGraph(const RenderParams&) {
    // Halos and glow need screen passes of their own; the wash and lines show the selection.
    return HighlightGraph(L"NPR_ObjectHalo_Selection_Graph");
}

FragmentGraph* FragmentLibrary::createHighLightEffectGraph(const RenderParams&) {
    return HighlightGraph(L"NPR_Highlight_Graph");
}

FragmentGraph* FragmentLibrary::createFXAAEffectGraph() {
    FragmentGraph* g = FragmentGraph::Make(Intern(L"NPR_FXAA_Graph"));
    if (AutoPtr<AFragment> fxaa = Acquire(L"NPR_FXAAPass")) {
        g->AddFragment(fxaa);
        g->ExposeInput(fxaa, Intern(L"input"), Intern(L"input"));
        g->ExposeInput(fxaa, Intern(L"final"), Intern(L"final"));
        g->ExposeOutput(fxaa, Intern(L"final"), Intern(L"final"));
    }
    g->RequiredFeatureLevel(30);
    return g;
}

void FragmentLibrary::setGroundShadowArgs(AFragment* graph, const Lumo::Objects::SBox3& box, const RenderParams& p,
                                          const Lumo::Devices::ADrawContext& dc) {
    using Lumo::Objects::mat4;
    using Lumo::Objects::vec3;
    if (!graph || box.IsEmpty())
        return;
    vec3<double> up(p.groundPlaneOrientation().x, p.groundPlaneOrientation().y, p.groundPlaneOrientation().z);
    if (up.Length() < 1e-12)
        up = {0, 1, 0};
    up = up.Normalized();
    const vec3<double> c = box.Center();
    const double radius = std::max(box.Size().Length() / 2.0, 1e-6);
    // The ground touches the lowest corner of the box along up, less the plane's offset.
    double low = 1e300;
    for (int i = 0; i < 8; ++i) {
        const vec3<double> corner((i & 1) ? box.Max().x : box.Min().x, (i & 2) ? box.Max().y : box.Min().y,
                                  (i & 4) ? box.Max().z : box.Min().z);
        low = std::min(low, corner.Dot(up));
    }
    const double ground = low - p.groundPlaneOffset();
    // The light looks down along -up (or along the first world light of dc when the shadow is
    // not straight down), from above the box, orthographically over it.
    vec3<double> dir = up * -1.0;
    if (!p.shadowStraightDown()) {
        // Along the first directional light that shines down (the device's default key light
        // when dc has none), kept at least 45 degrees steep so shadows stay near their parts.
        mat4<float> invView;
        if (!dc.ViewMatrix().Inverse(invView))
            invView = mat4<float>();
        std::vector<Lumo::Devices::SDrawLight> lights = dc.Lights();
        if (lights.empty()) {
            Lumo::Devices::SDrawLight key;
            key.direction = {-0.45f, -0.55f, 0.70f};
            lights.push_back(key);
        }
        for (const auto& l : lights) {
            if (l.type != Lumo::Devices::eLightDirectional)
                continue;
            const vec3<float> w = l.viewSpace ? invView.TransformVector(l.direction) : l.direction;
            vec3<double> d(w.x, w.y, w.z);
            if (d.Length() < 1e-9 || d.Normalized().Dot(up) > -0.2)
                continue;
            d = d.Normalized();
            const vec3<double> along = d - up * d.Dot(up); // the part of d along the ground
            const double down = -d.Dot(up);
            if (along.Length() > down)
                d = (along.Normalized() + up * -1.0).Normalized();
            dir = d;
            break;
        }
    }
    const vec3<double> eye = c - dir * (radius * 3.0);
    vec3<double> side = std::fabs(dir.y) < 0.9 ? vec3<double>(0, 1, 0) : vec3<double>(1, 0, 0);
    const vec3<double> x = side.Cross(dir).Normalized();
    const vec3<double> y = dir.Cross(x);
    // Device view: rows are the eye's axes in world terms (row vectors), looking along +z.
    mat4<float> view(float(x.x), float(y.x), float(dir.x), 0, float(x.y), float(y.y), float(dir.y), 0, float(x.z),
                     float(y.z), float(dir.z), 0, float(-x.Dot(eye)), float(-y.Dot(eye)), float(-dir.Dot(eye)), 1);
    const double extent = radius * 1.6, nearZ = radius * 0.5, farZ = radius * 6.0 + std::fabs(ground - low);
    mat4<float> proj;
    proj.m[0][0] = float(1.0 / extent);
    proj.m[1][1] = float(1.0 / extent);
    proj.m[2][2] = float(1.0 / (farZ - nearZ));
    proj.m[3][2] = float(-nearZ / (farZ - nearZ));
    AutoPtr<Lumo::Devices::ARenderCamera> light(Lumo::Devices::ARenderCamera::Make(view, proj));
    graph->SetArgument(Intern(L"lightCamera"), FragmentValue::Object(light));
    graph->SetArgument(Intern(L"lightViewProj"), FragmentValue::Matrix(view * proj));
    const mat4<float> vp = dc.ViewMatrix() * dc.ProjMatrix();
    mat4<float> inv;
    if (!vp.Inverse(inv))
        return;
    graph->SetArgument(Intern(L"viewProj"), FragmentValue::Matrix(vp));
    graph->SetArgument(Intern(L"invViewProj"), FragmentValue::Matrix(inv));
    graph->SetArgument(Intern(L"groundPlane"),
                       FragmentValue::Float4({float(up.x), float(up.y), float(up.z), float(ground)}));
}

} // namespace Brio::Scene
