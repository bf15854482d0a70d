#include <Scene/Selection/RawHitInfo.h>
#include <Scene/Selection/SceneSelection.h>
#include <Scene/Selection/SelectionFilters.h>

#include <Brio/Base/UniqueString.h>

namespace Brio::Scene {

// ---- logical to scene -------------------------------------------------------------------

LogicalToSceneSelectionFilter& LogicalToSceneSelectionFilter::get() {
    static LogicalToSceneSelectionFilter filter;
    return filter;
}

const Brio::UniqueString* LogicalToSceneSelectionFilter::interfaceId() {
    static const Brio::UniqueString* id = Brio::UniqueString::find(L"Brio::Scene::LogicalToSceneSelectionFilter");
    return id;
}

StrongRef<SceneSelection> LogicalToSceneSelectionFilter::filter(const StrongRef<Brio::Selection>& selection) {
    StrongRef<Brio::Selection> out =
        Brio::SelectionFilter::filter(get(), selection, Brio::SelectionFilterContext(0, false));
    auto* scene = out ? static_cast<SceneSelection*>(out->queryInterface(SceneSelection::interfaceId())) : nullptr;
    return StrongRef<SceneSelection>(scene);
}

bool LogicalToSceneSelectionFilter::hasEquivalentResult(const StrongRef<Brio::Selection>& selection) {
    auto* logical =
        selection
            ? static_cast<Brio::LogicalSelection*>(selection->queryInterface(Brio::LogicalSelection::interfaceId()))
            : nullptr;
    return logical && logical->isValid() && NodePath::hasEquivalentScenePath(logical->path());
}

StrongRef<Brio::Selection> LogicalToSceneSelectionFilter::onFilter(const StrongRef<Brio::Selection>& selection,
                                                                   const Brio::SelectionFilterContext&) {
    auto* logical =
        static_cast<Brio::LogicalSelection*>(selection->queryInterface(Brio::LogicalSelection::interfaceId()));
    if (!logical)
        return {};
    if (StrongRef<Brio::Selection> known = logical->alternateSelection(SceneSelection::alternateSceneSelectionSynced()))
        return known;
    if (!logical->isValid())
        return {};
    StrongRef<SceneSelection> scene = SceneSelection::make(NodePath::logicalPathToScenePath(logical->path()));
    logical->alternateSelection(SceneSelection::alternateSceneSelectionSynced(), scene);
    return StrongRef<Brio::Selection>(scene);
}

// ---- scene to logical -------------------------------------------------------------------

SceneToLogicalSelectionFilter& SceneToLogicalSelectionFilter::get() {
    static SceneToLogicalSelectionFilter filter;
    return filter;
}

const Brio::UniqueString* SceneToLogicalSelectionFilter::interfaceId() {
    static const Brio::UniqueString* id = Brio::UniqueString::find(L"Brio::Scene::SceneToLogicalSelectionFilter");
    return id;
}

StrongRef<Brio::LogicalSelection> SceneToLogicalSelectionFilter::filter(const StrongRef<Brio::Selection>& selection,
                                                                        bool flag) {
    StrongRef<Brio::Selection> out =
        Brio::SelectionFilter::filter(get(), selection, Brio::SelectionFilterContext(0, flag));
    auto* logical =
        out ? static_cast<Brio::LogicalSelection*>(out->queryInterface(Brio::LogicalSelection::interfaceId()))
            : nullptr;
    return StrongRef<Brio::LogicalSelection>(logical);
}

StrongRef<Brio::Selection> SceneToLogicalSelectionFilter::onFilter(const StrongRef<Brio::Selection>& selection,
                                                                   const Brio::SelectionFilterContext&) {
    auto* scene = static_cast<SceneSelection*>(selection->queryInterface(SceneSelection::interfaceId()));
    if (!scene)
        return {};
    const Brio::ObjectPath path = NodePath::scenePathToLogicalPath(scene->scenePath());
    auto creator = [](Brio::Object* source, const Brio::ObjectPath& p,
                      const StrongRef<Brio::Selection>& from) -> StrongRef<Brio::LogicalSelection> {
        auto* sceneFrom =
            from ? static_cast<SceneSelection*>(from->queryInterface(SceneSelection::interfaceId())) : nullptr;
        if (!sceneFrom || !source)
            return {};
        if (auto* dependent = static_cast<IViewDependentSelectionSource*>(
                source->queryInterface(IViewDependentSelectionSource::interfaceId())))
            return dependent->createViewDependentLogicalSelection(p, StrongRef<SceneSelection>(sceneFrom));
        if (auto* plain = static_cast<Brio::ILogicalSelectionSource*>(
                source->queryInterface(Brio::ILogicalSelectionSource::interfaceId())))
            return plain->createLogicalSelection(p);
        return {};
    };
    StrongRef<Brio::LogicalSelection> logical = Brio::LogicalSelection::make(path, creator, selection);
    if (!logical)
        return {};
    if (StrongRef<SceneSelection> back = LogicalToSceneSelectionFilter::filter(StrongRef<Brio::Selection>(logical))) {
        back->hitInfo(StrongRef<SceneSelection>(scene));
        logical->alternateSelection(SceneSelection::alternateSceneSelectionSynced(), back);
        if (RawHitInfo* hit = back->hitInfo())
            logical->hitInfo(hit->localHitPoint(), hit->localToWorldTransform(), true);
    }
    return StrongRef<Brio::Selection>(logical);
}

// ---- view-dependent sources ---------------------------------------------------------------

const Brio::UniqueString* IViewDependentSelectionSource::interfaceId() {
    static const Brio::UniqueString* id = Brio::UniqueString::find(L"Brio::Scene::IViewDependentSelectionSource");
    return id;
}

StrongRef<Brio::LogicalSelection>
IViewDependentSelectionSource::onCreateLogicalSelection(const Brio::ObjectPath& path) {
    return onCreateViewDependentLogicalSelection(path, StrongRef<SceneSelection>());
}

} // namespace Brio::Scene
