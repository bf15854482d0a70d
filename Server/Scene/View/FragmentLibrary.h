#pragma once
#include <string>

namespace Lumo::Devices {
class AFragment;
class ADrawContext;
class FragmentGraph;
} // namespace Lumo::Devices
namespace Lumo::Objects {
class SBox3;
}

namespace Brio::Scene {

class RenderParams;

/// Builds the fragment graphs that draw layer passes, from render parameters: the shaded
/// model (beauty pass, environment, background, layout grid, object and ground shadows), plain
/// layers, the resolve of collected transparent geometry, and FXAA. Named fragments come from
/// the graphics system's fragment library file; the draw fragment and the pipeline renderer
/// fragment are the library's own. Each create operation answers a new graph the caller holds.
///
/// Selection and highlight graphs, ground reflection, ambient occlusion, the NPR effects and
/// fast order-independent transparency arrive with a later change: their builders keep their
/// places and answer graphs that draw the plain beauty pass (or leave the chain as it is).
class FragmentLibrary {
public:
    /// Loads the fragment library file from the core add-in folder, defines
    /// "VE_PipelineRenderer", starts the fragment manager and registers the script callbacks,
    /// the library's agents and the standard agent lists. False when the file cannot be read
    /// (lastError says why); graphs then lack the file's fragments.
    static bool initializeFragmentLibrary();
    static void terminateFragmentLibrary();
    static bool isInitialized();
    static const std::string& lastError();

    static Lumo::Devices::FragmentGraph* createVisualEffectGraph(const RenderParams& p);
    static Lumo::Devices::FragmentGraph* createLayerEffectGraph(const RenderParams& p);
    static Lumo::Devices::FragmentGraph* createTransparencyOnlyEffectGraph(const RenderParams& p);
    static Lumo::Devices::FragmentGraph* createSelectionEffectGraph(const RenderParams& p);
    static Lumo::Devices::FragmentGraph* createHighLightEffectGraph(const RenderParams& p);
    static Lumo::Devices::FragmentGraph* createFXAAEffectGraph();

    /// Sets what a ground shadow needs on a graph: a light straight above the model (or along
    /// the first light of dc), the ground plane under the model's box, and the camera's
    /// matrices as dc has them now. Does nothing for an empty box.
    static void setGroundShadowArgs(Lumo::Devices::AFragment* graph, const Lumo::Objects::SBox3& worldBox,
                                    const RenderParams& p, const Lumo::Devices::ADrawContext& dc);

    /// Fast order-independent transparency ("UseOIT") and fast halo ("FastHalo").
    static bool useOIT();
    static void useOIT(bool on);
    static bool fastHalo();
    static void fastHalo(bool on);

protected:
    static Lumo::Devices::AFragment* createBrioDraw3dFragment();
    static Lumo::Devices::FragmentGraph* createBeautyPassFragment(const RenderParams& p);
    static Lumo::Devices::AFragment* createSelectionCompositeEffectFragment();
    static Lumo::Devices::AFragment* appendEnvironmentFragment(Lumo::Devices::FragmentGraph* g,
                                                               Lumo::Devices::AFragment* prev);
    static Lumo::Devices::AFragment* appendBackGroundFragment(Lumo::Devices::FragmentGraph* g,
                                                              Lumo::Devices::AFragment* prev);
    static Lumo::Devices::AFragment* appendLayoutGridFragment(Lumo::Devices::FragmentGraph* g,
                                                              Lumo::Devices::AFragment* prev);
    static Lumo::Devices::AFragment* appendObjectShadowFragment(Lumo::Devices::FragmentGraph* g,
                                                                Lumo::Devices::AFragment* prev, const RenderParams& p);
    static Lumo::Devices::AFragment* appendGroundEffectGraph(Lumo::Devices::FragmentGraph* g,
                                                             Lumo::Devices::AFragment* prev, const RenderParams& p);
    static Lumo::Devices::AFragment* appendAmbientOcclusion(Lumo::Devices::FragmentGraph* g,
                                                            Lumo::Devices::AFragment* prev);
    static Lumo::Devices::AFragment* appendNPREffectGraph(Lumo::Devices::FragmentGraph* g,
                                                          Lumo::Devices::AFragment* prev, const RenderParams& p);
    static void initRendererFragment();
    /// A graph of the beauty pass alone under that name (layers, and the graphs still to come).
    static Lumo::Devices::FragmentGraph* BeautyOnly(const wchar_t* name, const RenderParams& p);
};

} // namespace Brio::Scene
