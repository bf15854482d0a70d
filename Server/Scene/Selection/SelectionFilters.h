#pragma once
#include <Brio/DataModel/LogicalSelection.h>

namespace Brio::Scene {

class SceneSelection;

/// Logical selections to scene selections: the object path's nodes, recorded on the logical
/// selection as its synced alternate (so that a second translation answers the same one).
class LogicalToSceneSelectionFilter : public Brio::SelectionFilter {
public:
    static LogicalToSceneSelectionFilter& get();
    static StrongRef<SceneSelection> filter(const StrongRef<Brio::Selection>& selection);
    /// Whether a valid logical selection has a scene path that leads back to it.
    static bool hasEquivalentResult(const StrongRef<Brio::Selection>& selection);
    /// "Brio::Scene::LogicalToSceneSelectionFilter".
    static const Brio::UniqueString* interfaceId();

protected:
    StrongRef<Brio::Selection> onFilter(const StrongRef<Brio::Selection>& selection,
                                        const Brio::SelectionFilterContext& context) override;
};

/// Scene selections to logical ones, made by the picked object (view-dependent sources say more),
/// with the hit information carried over and both forms recorded as alternates.
class SceneToLogicalSelectionFilter : public Brio::SelectionFilter {
public:
    static SceneToLogicalSelectionFilter& get();
    static StrongRef<Brio::LogicalSelection> filter(const StrongRef<Brio::Selection>& selection, bool flag);
    /// "Brio::Scene::SceneToLogicalSelectionFilter".
    static const Brio::UniqueString* interfaceId();

protected:
    StrongRef<Brio::Selection> onFilter(const StrongRef<Brio::Selection>& selection,
                                        const Brio::SelectionFilterContext& context) override;
};

/// A model object whose logical selection depends on the view it was picked in.
class IViewDependentSelectionSource : public Brio::ILogicalSelectionSource {
public:
    StrongRef<Brio::LogicalSelection> createViewDependentLogicalSelection(const Brio::ObjectPath& path,
                                                                          const StrongRef<SceneSelection>& scene) {
        return onCreateViewDependentLogicalSelection(path, scene);
    }
    /// "Brio::Scene::IViewDependentSelectionSource".
    static const Brio::UniqueString* interfaceId();

protected:
    /// Without a scene selection.
    StrongRef<Brio::LogicalSelection> onCreateLogicalSelection(const Brio::ObjectPath& path) override;
    virtual StrongRef<Brio::LogicalSelection>
    onCreateViewDependentLogicalSelection(const Brio::ObjectPath& path, const StrongRef<SceneSelection>& scene) = 0;
};

} // namespace Brio::Scene
