#pragma once
#include <Brio/Base/StrongRef.h>
#include <Brio/DataModel/AssetAdapter.h>
#include <Brio/DataModel/IScriptableRootObject.h>
#include <Lumo/Objects/AutoPtr.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Brio {
class Asset;
class UniqueString;
} // namespace Brio
namespace Lumo::Graphics {
class ARenderList;
class ARenderNode;
class GroupNode;
} // namespace Lumo::Graphics

namespace Brio::Scene {

class LumoSerializer;
class RenderParams;
class SelectionRenderParams;
class SketchSelectionRenderParams;

/// The scene library's adapter on a host document. It holds the document's named scene roots
/// (the model, which the host sets, and the overlays for selection, prehighlight, active edit
/// and manipulators, made at construction), hands out the render parameters each kind of
/// scene is drawn with, keeps the persistent world saved with the document, and makes the
/// document's scene serializer entity. Scripts reach the scenes by name.
class SceneAssetAdapter : public AssetAdapter, public IScriptableRootObject {
public:
    /// Scene type numbers a scene root is tagged with while the mirrored-scene channel is on.
    enum ESceneType : std::uint16_t {
        eSceneModel = 1,
        eSceneActiveEdit = 2,
        eSceneManipulator = 3,
        eSceneSketchSelection = 4,
        eSceneSelection = 5,
        eScenePrehighlight = 6,
        eSceneSelectionEffect = 7,
        eScenePrehighlightEffect = 8,
    };

    /// Makes the seven overlay scenes; the model scene is left to the host.
    explicit SceneAssetAdapter(Asset* asset);
    ~SceneAssetAdapter() override;

    /// "Brio::Scene::SceneAssetAdapter".
    static const Brio::UniqueString* interfaceId();
    /// The adapter for its own id and for IScriptableRootObject; else the base's answer.
    void* queryInterface(const Brio::UniqueString* id) const override;

    /// The model scene; null until the host sets one.
    Lumo::Graphics::GroupNode* scene() const;
    void scene(Lumo::Graphics::GroupNode* root);
    // The overlay scenes, each made on first use (and so present from construction on).
    Lumo::Graphics::GroupNode* activeEditScene();
    Lumo::Graphics::GroupNode* manipulatorScene();
    /// With a faces group, an edges group and an edges group of qualifier 1.
    Lumo::Graphics::GroupNode* sketchSelectionScene();
    Lumo::Graphics::GroupNode* selectionScene();
    Lumo::Graphics::GroupNode* prehighlightScene();
    /// With a faces group and an edges group.
    Lumo::Graphics::GroupNode* selectionEffectScene();
    Lumo::Graphics::GroupNode* prehighlightEffectScene();

    /// The root stored under name, or null.
    Lumo::Graphics::GroupNode* getSceneByName(const Brio::UniqueString* name) const;
    /// The same by text; a text no name was ever made for answers null, and is not interned.
    Lumo::Graphics::GroupNode* getSceneByName(const std::string& name) const;
    /// Stores root under name, replacing the root stored there.
    void setSceneByName(Lumo::Graphics::GroupNode* root, const Brio::UniqueString* name);
    /// The name root is stored under, or null.
    const Brio::UniqueString* getSceneName(Lumo::Graphics::GroupNode* root) const;

    // The parameters each kind of scene is drawn with: one object each for the process.
    /// Refreshed from the graphics options on every call.
    virtual RenderParams& sceneEffectParams();
    virtual RenderParams& layerEffectParams();
    virtual SelectionRenderParams& selectionEffectParams();
    virtual SelectionRenderParams& highlightEffectParams();
    virtual SketchSelectionRenderParams& sketchSelectionEffectParams();

    /// The world whose roots are saved with the document: null while the host does not
    /// persist graphics, and until a graphics device exists (asked again next time).
    Lumo::Graphics::ARenderList* persistentWorld();
    /// Nothing while the host does not persist graphics or there is no persistent world.
    void addPersistentSceneRoot(Lumo::Graphics::ARenderNode* node);
    void removePersistentSceneRoot(Lumo::Graphics::ARenderNode* node);

    /// The document's scene serializer, once onCreateSpecialSerializers made or found it.
    LumoSerializer* serializer() const;

    /// With graphics persisted: finds the scene serializer among the roots of the document's
    /// first saved segment, or makes it there.
    void onCreateSpecialSerializers() override;
    /// Lets go of the scene serializer.
    void onReleaseSpecialSerializers() override;

    // Scripts: the scene roots under their names.
    std::vector<std::wstring> scriptObjectNames() const override;
    /// A Lumo::Graphics::GroupNode.
    void* scriptObject(const std::string& name) const override;

private:
    Lumo::Graphics::GroupNode* namedScene(const Brio::UniqueString* name, ESceneType type, int effectChildren);

    std::map<const Brio::UniqueString*, Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode>> m_scenes;
    StrongRef<LumoSerializer> m_serializer;
    Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderList> m_persistentWorld;
};

} // namespace Brio::Scene
