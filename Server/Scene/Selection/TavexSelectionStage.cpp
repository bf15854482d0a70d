#include <Scene/Selection/TavexSelectionStage.h>

#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Graphics/PixelBasedLODStrategy.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/SwapAgent.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Selection/HWSelectionSWFilterAgent.h>
#include <Scene/Selection/SelectionOutputAgent.h>
#include <Scene/Selection/TavexSWPickAgent.h>
#include <Scene/View/SliceAgent.h>
#include <Scene/View/VisibilityAgent.h>

namespace Brio::Scene {

LUMO_DEFINE_CLASS(TavexSelectionStage, Lumo::Graphics::SelectionStage)

using Lumo::Objects::AutoPtr;

struct TavexSelectionStage::Impl {
    AutoPtr<SelectionOutputAgent> swOutput = SelectionOutputAgent::Make();
    AutoPtr<SelectionOutputAgent> hwOutput = SelectionOutputAgent::Make();
    AutoPtr<Lumo::Graphics::SelectionStage> hardware;
    AutoPtr<HWSelectionSWFilterAgent> filter = HWSelectionSWFilterAgent::Make();
};

TavexSelectionStage::TavexSelectionStage() : m_impl(new Impl) {}

TavexSelectionStage::~TavexSelectionStage() {
    delete m_impl;
}

namespace {

Lumo::Objects::UString* Name(const wchar_t* text) {
    return Lumo::Objects::Intern(text);
}

/// The scene's state rides along every walk, so that the agents can read attributes.
void AddSceneState(Lumo::Graphics::ScriptPipeRenderer& pipe) {
    pipe.AddClientState(Lumo::Scene::TraversalState::StaticClassName(),
                        AutoPtr<Lumo::Scene::TraversalState>(Lumo::Scene::TraversalState::Make()));
}

} // namespace

void TavexSelectionStage::compose(Lumo::Graphics::ScriptPipeRenderer& pipe, SelectionOutputAgent* output,
                                  bool visibility) {
    if (visibility)
        pipe.InsertAgent(0, AutoPtr<VisibilityAgent>(VisibilityAgent::Make()));
    AutoPtr<SliceAgent> slice(SliceAgent::Make());
    int sliceAt = -1;
    static Lumo::Objects::UString* const lodStrategy = Lumo::Graphics::ScriptPipeRenderer::LODStrategyName();
    static Lumo::Objects::UString* const styleGraph = Name(L"UseStyleGraph");
    static Lumo::Objects::UString* const swapAgent = Name(L"SwapAgent");
    static Lumo::Objects::UString* const swPickAgent = Name(L"SWPickAgent");
    for (int i = 0; i < pipe.AgentCount(); ++i) {
        Lumo::Graphics::AAgent* agent = pipe.Agent(i);
        if (agent->HasInput(lodStrategy))
            pipe.SetParameter(lodStrategy, AutoPtr<Lumo::Graphics::PixelBasedLODStrategy>(
                                               Lumo::Graphics::PixelBasedLODStrategy::Make()));
        else if (agent->HasInput(styleGraph))
            agent->SetInput(styleGraph, false);
        if (agent->ClassName() == swapAgent)
            sliceAt = i + 1;
        if (agent->ClassName() == swPickAgent)
            pipe.ReplaceAgent(i, AutoPtr<TavexSWPickAgent>(TavexSWPickAgent::Make()));
    }
    pipe.InsertAgent(sliceAt < 0 ? 0 : sliceAt, slice);
    pipe.AddAgent(output);
}

void TavexSelectionStage::Initialize(bool software) {
    SelectionStage::Initialize(software);
    compose(Pipe(), m_impl->swOutput, true);
    AddSceneState(Pipe());
}

void TavexSelectionStage::prepareHardware() {
    if (m_impl->hardware)
        return;
    m_impl->hardware = SelectionStage::Make();
    m_impl->hardware->Initialize(false);
    Lumo::Graphics::ScriptPipeRenderer& pipe = m_impl->hardware->Pipe();
    compose(pipe, m_impl->hwOutput, true);
    AddSceneState(pipe);
    static Lumo::Objects::UString* const hwPick = Name(L"HWPickAgent");
    const int at = pipe.AgentIndex(hwPick);
    if (at >= 1 && pipe.AgentIndex(HWSelectionSWFilterAgent::StaticClassName()) < 0)
        pipe.InsertAgent(at + 1, m_impl->filter);
}

bool TavexSelectionStage::Run(Lumo::Devices::ADrawContext& dc) {
    Lumo::Devices::SelectionContext* context = Context();
    if (!context || !context->IsHWPick())
        return SelectionStage::Run(dc);
    prepareHardware();
    const int type = context->SelectionType();
    if (type == 1) {
        m_impl->filter->arm(context);
        context->SelectionType(3);
    } else if (type == 3) {
        m_impl->filter->disarm();
    }
    Lumo::Graphics::SelectionStage& hw = *m_impl->hardware;
    hw.Camera(Camera());
    hw.World(World());
    hw.Context(context);
    hw.Region(Region());
    hw.Intersections(Intersections());
    const bool ran = hw.Run(dc);
    context->SelectionType(type);
    m_impl->filter->disarm();
    hw.World(nullptr);
    hw.Intersections(nullptr);
    return ran;
}

SelectionOutputAgent* TavexSelectionStage::output(bool hardware) const {
    return hardware ? m_impl->hwOutput.get() : m_impl->swOutput.get();
}
Lumo::Graphics::SelectionStage* TavexSelectionStage::hardwareStage() const {
    return m_impl->hardware.get();
}
HWSelectionSWFilterAgent* TavexSelectionStage::filterAgent() const {
    return m_impl->filter.get();
}

} // namespace Brio::Scene
