#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Devices {
class ADrawContext;
class ARenderCamera;
class ISelectionRegion2D;
class SelectionContext;
} // namespace Lumo::Devices

namespace Lumo::Objects {
class UString;
}

namespace Lumo::Graphics {

class ARenderNode;
class IntersectionList;
class ScriptPipeRenderer;

/// Answers what lies under a point or in a rectangle of a view: walks a world with its pick
/// agents ("::StdPickAgents" by default) under a frustum narrowed to the region, so that whole
/// subgraphs outside it, hidden or unpickable are not descended, and collects the hits in the
/// intersection list, nearest first (only the nearest when the context hints so).
class SelectionStage : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static SelectionStage* Make();
    ~SelectionStage() override;

    /// Gives the walk the stock software pick agents ("::StdPickAgents"), or, when software
    /// is false, the stock hardware ones ("::StdHWPickAgents").
    virtual void Initialize(bool software = true);

    void Camera(Lumo::Devices::ARenderCamera* camera);
    void World(ARenderNode* world);
    void Context(Lumo::Devices::SelectionContext* context);
    void Region(Lumo::Devices::ISelectionRegion2D* region);
    void Intersections(IntersectionList* list);
    IntersectionList* Intersections() const;
    /// The walk's renderer, for its agents, parameters and client states.
    ScriptPipeRenderer& Pipe() const;

    /// Runs the pick; false when the world, region, context or list is missing, or the camera
    /// cannot be inverted. The draw context's matrices are as they were afterwards.
    /// The context, region and list also reach the agents as renderer parameters of the
    /// names below, for agents that take them as inputs.
    virtual bool Run(Lumo::Devices::ADrawContext& dc);

    Lumo::Devices::ARenderCamera* Camera() const;
    ARenderNode* World() const;
    Lumo::Devices::SelectionContext* Context() const;
    Lumo::Devices::ISelectionRegion2D* Region() const;

    static Lumo::Objects::UString* ContextName();       ///< "Selection Context"
    static Lumo::Objects::UString* IntersectionsName(); ///< "Intersection List"
    static Lumo::Objects::UString* RegionName();        ///< "Selection Region"

protected:
    SelectionStage();

private:
    struct Impl;
    Impl* m_impl;
};

} // namespace Lumo::Graphics
