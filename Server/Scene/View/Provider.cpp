#include <Scene/Selection/ViewSelector.h>
#include <Scene/View/Provider.h>

#include <Scene/View/ViewRendererForImage.h>
#include <Scene/View/ViewRendererForWindow.h>

#include <Lumo/Graphics/TextSystem.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassFactory.h>
#include <Scene/Attributes/AmbraManager.h>
#include <Scene/Attributes/AnalysisEffects.h>
#include <Scene/Attributes/EffectInstanceCache.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Diagnostics/GraphicsDevice.h>
#include <Scene/Environment/EnvironmentManager.h>
#include <Scene/Foundations/AddInStaticInternal.h>
#include <Scene/View/EdgeProcessAgent.h>
#include <Scene/View/FacetOrderAgent.h>
#include <Scene/View/FragmentLibrary.h>
#include <Scene/View/LODAgent.h>
#include <Scene/View/MultiPassFilterAgent.h>
#include <Scene/View/SliceAgent.h>
#include <Scene/View/SliceCapAgent.h>
#include <Scene/View/VisibilityAgent.h>
#include <Scene/View/VisualStyleAgent.h>

namespace Brio::Scene {

namespace {

template <class T> void Register(Lumo::Objects::ClassFactory& factory) {
    factory.Register(T::StaticClassName(), [] { return static_cast<Lumo::Objects::ARefCounted*>(T::Make()); });
}

/// The classes the graphics system makes by name while it walks and draws: the scene's
/// traversal state and its render agents, in the order they are registered.
template <class... T> struct Prototypes {
    static void add(Lumo::Objects::ClassFactory& factory) { (Register<T>(factory), ...); }
    static void remove(Lumo::Objects::ClassFactory& factory) { (factory.Unregister(T::StaticClassName()), ...); }
};
using ScenePrototypes =
    Prototypes<Lumo::Scene::TraversalState, VisualStyleAgent, FacetOrderAgent, VisibilityAgent,
               Lumo::Graphics::LODAgent, MultiPassFilterAgent, EdgeProcessAgent, SliceCapAgent, SliceAgent>;

} // namespace

Provider* Provider::provider() {
    static Provider instance;
    return &instance;
}

Provider::~Provider() = default;

void Provider::initialize() {
    AddInStaticBase::addInStopped(false);
    // The environment manager starts on the scene's resource folder, where the environment
    // definitions are found.
    EnvironmentManager::getEnvManager();
    FragmentLibrary::initializeFragmentLibrary();
    ScenePrototypes::add(Lumo::Objects::ClassFactory::Get());
    NodeData::installRenderCallbacks();
    Lumo::Scene::EffectInstanceCache::Make();
}

void Provider::terminate() {
    Lumo::Scene::EffectInstanceCache::Destroy();
    EnvironmentManager::getEnvManager()->release();
    AmbraManager::GetAmbraManager(false)->ReleaseLib();
    Lumo::Text::TextSystem::Release();
    FragmentLibrary::terminateFragmentLibrary();
    // What the graphics system would otherwise call back into once this library is gone.
    NodeData::uninstallRenderCallbacks();
    ScenePrototypes::remove(Lumo::Objects::ClassFactory::Get());
    Lumo::Scene::AnalysisEffects::UnregisterFactories();
    ReleaseLumoDevice();
    // Everything the library's process-wide objects held of the graphics system is gone: they
    // may now be freed with the library.
    AddInStaticBase::addInStopped(true);
}

ViewRenderer* Provider::createViewRenderer(Lumo::Graphics::GroupNode* viewNode, void* window) {
    if (window)
        return new ViewRendererForWindow(viewNode, window);
    return new ViewRendererForImage(viewNode);
}

void Provider::destroyViewRenderer(ViewRenderer* renderer) {
    ViewRenderer::destroy(renderer);
}

ViewSelector* Provider::requestViewSelector() {
    return ViewSelector::make();
}

void Provider::releaseViewSelector(ViewSelector* selector) {
    if (selector)
        selector->destroy();
}

} // namespace Brio::Scene
