#pragma once
#include <Brio/DataModel/Selection.h>
#include <Scene/Change/NodePath.h>

namespace Brio::Scene {

class RawHitInfo;

/// A selection that names a scene node by its node path, optionally with where it was hit.
/// It and a logical selection record each other as alternates under
/// alternateSceneSelectionSynced(), so that the hit travels with the object.
class SceneSelection : public Brio::Selection {
public:
    static StrongRef<SceneSelection> make(const NodePath& path);

    const NodePath& scenePath() const { return m_path; }
    /// The hit information it owns, or null.
    RawHitInfo* hitInfo() const { return m_hit; }
    /// Takes ownership of info, destroying the one held before.
    void hitInfo(RawHitInfo* info);
    /// A copy of other's hit information (none when it has none), re-expressed from the space of
    /// other's leaf in the space of this selection's leaf when both paths place their leaves.
    void hitInfo(const StrongRef<SceneSelection>& other);

    /// "AlternateSceneSelectionSynced".
    static const Brio::UniqueString* alternateSceneSelectionSynced();
    void* queryInterface(const Brio::UniqueString* id) const override;
    /// "Brio::Scene::SceneSelection".
    static const Brio::UniqueString* interfaceId();

protected:
    explicit SceneSelection(const NodePath& path);
    ~SceneSelection() override;
    /// By node path: 1 when greater, -1 when less; 0 for other kinds.
    int onCompare(const Brio::Selection& other) const override;
    /// The path without its leaf, with its own copy of the hit information.
    StrongRef<Brio::Selection> onPop() const override;
    /// For the synced key: the logical selection that recorded this one gets the scene form of
    /// itself, with this selection's hit information, and the hit on its own side too.
    void onPropagateAlternate(Brio::Selection& selection, const Brio::UniqueString* key,
                              Brio::Selection& alternate) override;

private:
    NodePath m_path;
    RawHitInfo* m_hit = nullptr;
};

} // namespace Brio::Scene
