#include <Scene/Selection/ViewSelector.h>

#include <Brio/Base/MultiThreadOptionGroup.h>
#include <Brio/Base/MultiThreadedOpScopedLock.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderCamera.h>
#include <Lumo/Devices/SelectionContext.h>
#include <Lumo/Devices/SelectionRegion.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/EdgeIntersection.h>
#include <Lumo/Graphics/FacetIntersection.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Graphics/IIntersection.h>
#include <Lumo/Graphics/ScriptPipeRenderer.h>
#include <Lumo/Graphics/SelectionStage.h>
#include <Lumo/Objects/SBox3.h>
#include <Scene/Attributes/SelectionQualifier.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/NodePath.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Diagnostics/GraphicsDevice.h>
#include <Scene/Environment/Camera.h>
#include <Scene/Environment/Viewport.h>
#include <Scene/Nodes/ANodeData.h>
#include <Scene/Nodes/ENodeType.h>
#include <Scene/Nodes/NodeFunctions.h>
#include <Scene/Selection/SelectionOutputAgent.h>
#include <Scene/Selection/SelectionSorter.h>
#include <Scene/Selection/TavexPointRegion.h>
#include <Scene/Selection/TavexSelectionStage.h>
#include <Scene/View/GraphicsOptionGroup.h>
#include <Scene/View/RenderEngine.h>
#include <Scene/View/ViewFragementPassNames.h>
#include <Scene/View/ViewFragmentNodeData.h>
#include <Scene/View/ViewFragmentPass.h>
#include <Scene/View/ViewFragmentTransformer.h>
#include <Scene/View/ViewNodeData.h>
#include <Scene/View/ViewNodes.h>
#include <ZoGe/ZoGe.h>

#include <algorithm>
#include <optional>

namespace Brio::Scene {

using Lumo::Objects::AutoPtr;

SelectionSorter::~SelectionSorter() = default;

struct ViewSelector::Impl {
    AutoPtr<TavexSelectionStage> stage;
    AutoPtr<Lumo::Devices::ADrawContext> dc;
    /// The model and the active edit together, for hardware rectangles that keep what is seen
    /// of either; kept while they stay the same, so their boxes and indices are kept too.
    AutoPtr<Lumo::Graphics::GroupNode> seen;
    double window[4] = {0, 0, 0, 0}; // x0, y0, x1, y1
    Lumo::Graphics::GroupNode* view = nullptr;

    bool prepare(Lumo::Graphics::GroupNode* viewNode);
    /// What one fragment's geometry is: its rectangle in the window, matrices, transformer.
    struct Fragment {
        double x0 = 0, y0 = 0, w = 0, h = 0;
        ZoGeMatrix3d view, proj;
        ViewFragmentTransformer transformer;
        StrongRef<Camera> camera;
        NodePath base;
        std::vector<ViewFragmentPass> passes;
        bool background = false;
    };
    bool fragment(Lumo::Graphics::GroupNode* node, Fragment& f) const;
    /// Nothing was hit at screen (x, y): the background, at the depth of the camera's target.
    static void background(const Fragment& f, double x, double y, const ZoGePoint3d& nearW, const ZoGePoint3d& farW,
                           SelectionSorter* sorter) {
        const ZoGePoint3d target = f.camera ? f.camera->target() : ZoGePoint3d();
        ZoGePoint3d screen, at;
        f.transformer.worldToScreen(target, screen);
        f.transformer.screenToWorld(ZoGePoint3d(x, y, screen.z), at);
        sorter->addHits(f.base, {SelectionHit(0, 0, 0, 0.0, at, at, ZoGeVector3d())}, ZoGeRay3d(nearW, farW - nearW),
                        ZoGeMatrix3d(), f.transformer);
    }
    /// Runs one pass over world (the pass's scene unless given); count gains the intersections
    /// found and loses those rejected.
    void run(const Fragment& f, Lumo::Graphics::ARenderNode* world, Lumo::Devices::ISelectionRegion2D* region, int type,
             bool hint, bool point, bool hardware, const ZoGePoint3d& nearW, const ZoGePoint3d& farW,
             SelectionSorter* sorter, int& count);
    /// The group of the model's and the active edit's scenes.
    Lumo::Graphics::GroupNode* seenWorld(const std::vector<ViewFragmentPass>& passes);
};

ViewSelector* ViewSelector::make() {
    return new ViewSelector;
}
void ViewSelector::destroy() {
    delete this;
}
ViewSelector::ViewSelector() : m_impl(new Impl) {}
ViewSelector::~ViewSelector() {
    delete m_impl;
}

bool ViewSelector::Impl::prepare(Lumo::Graphics::GroupNode* viewNode) {
    Lumo::Devices::AVirtualDevice* device = GetDefaultLumoDevice(nullptr);
    if (!device || !viewNode)
        return false;
    if (!stage) {
        stage = TavexSelectionStage::Make();
        stage->Initialize(true);
        dc = Lumo::Devices::ADrawContext::Make(device);
    }
    view = viewNode;
    window[0] = window[1] = window[2] = window[3] = 0;
    if (ViewNodeData* data = viewNodeData(viewNode))
        if (StrongRef<Viewport> vp = data->viewport())
            vp->get(window[0], window[2], window[1], window[3]);
    return true;
}

bool ViewSelector::Impl::fragment(Lumo::Graphics::GroupNode* node, Fragment& f) const {
    ObjectManager::get()->syncChanges();
    ViewFragmentNodeData* data = viewFragmentNodeData(node);
    if (!data)
        return false;
    f.camera = data->camera();
    const double W = window[2] - window[0], H = window[3] - window[1];
    f.x0 = window[0];
    f.y0 = window[1];
    f.w = W;
    f.h = H;
    if (StrongRef<Viewport> vp = data->viewport()) {
        double l, r, b, t;
        vp->get(l, r, b, t);
        if (vp->space() == Viewport::eAbsolute) {
            f.x0 = l;
            f.y0 = b;
            f.w = r - l;
            f.h = t - b;
        } else if (vp->space() == Viewport::eRelative) {
            f.x0 = l * W + window[0];
            f.y0 = b * H + window[1];
            f.w = (r - l) * W;
            f.h = (t - b) * H;
        }
    }
    f.passes.clear();
    data->viewFragmentSelectionPass(f.passes);
    if (f.camera && int(f.camera->projection()) != 3) {
        // The clip range around what can be picked, as a frame would fit it.
        Lumo::Objects::SBox3 box;
        for (const ViewFragmentPass& pass : f.passes)
            if (pass.scene)
                box.Extend(NodeData::subtreeBox(pass.scene));
        RenderEngine::fitClipRange(*f.camera, box, false);
    }
    ZoGeMatrix3d screen;
    if (f.camera && int(f.camera->projection()) != 3) {
        f.view = f.camera->getViewMatrix();
        const double aspect = (f.w == 0 ? 1.0 : f.w) / (f.h == 0 ? 1.0 : f.h);
        f.proj = f.camera->getProjectionMatrix(aspect);
        screen.entry[0][0] = f.w / 2;
        screen.entry[0][3] = f.w / 2 + f.x0;
        screen.entry[1][1] = f.h / 2;
        screen.entry[1][3] = f.h / 2 + f.y0;
    }
    f.transformer = ViewFragmentTransformer(f.view, f.proj, screen);
    f.base.clear();
    f.base.push(view);
    f.base.push(node);
    f.background = data->supportSelectBackground();
    AutoPtr<Lumo::Devices::ARenderCamera> camera(Lumo::Devices::ARenderCamera::Make(
        Camera::viewMatrixRHToLH(f.view).Cast<float>(), Camera::projMatrixRHToLH(f.proj).Cast<float>()));
    stage->Camera(camera);
    return true;
}

namespace {

ZoGeMatrix3d ToGe(const Lumo::Objects::mat4<double>& m) {
    // Row vectors to column vectors: the transpose.
    ZoGeMatrix3d g;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            g.entry[r][c] = m.m[c][r];
    return g;
}

/// The path below the fragment as the host sees it. A reference node holds every placement of
/// its target, so it is left out; the instance group below it names the placement that was hit
/// and stays, followed by the target it shows.
void AppendPath(NodePath& path, const Lumo::Graphics::IIntersection& hit, const Lumo::Graphics::ARenderNode* skip) {
    Lumo::Graphics::ARenderNode* last = path.leaf();
    for (const auto& n : hit.Path()) {
        Lumo::Graphics::ARenderNode* node = n.get();
        if (node == skip)
            continue;
        if (Lumo::Scene::ANodeData* data = Lumo::Scene::ANodeData::GetNodeData(node))
            if (data->NodeType() == Lumo::Scene::eReferenceNode)
                continue;
        if (node != last)
            path.push(node);
        last = node;
    }
    if (hit.Node() && path.leaf() != hit.Node())
        path.push(hit.Node());
}

int IdOf(const Lumo::Graphics::IIntersection& hit) {
    auto* any = const_cast<Lumo::Graphics::IIntersection*>(&hit);
    if (auto* f = Lumo::Objects::QueryInterface<Lumo::Graphics::FacetIntersection>(any))
        return f->Facet();
    if (auto* e = Lumo::Objects::QueryInterface<Lumo::Graphics::EdgeIntersection>(any))
        return e->Edge();
    if (auto* v = Lumo::Objects::QueryInterface<Lumo::Graphics::VertexIntersection>(any))
        return v->Vertex();
    return 0;
}

/// The host's multi-threaded operation lock, held through a selection when its options say so.
void TakeOperationLock(std::optional<MultiThreadedOpScopedLock>& lock) {
    if (MultiThreadOptionGroup::get()->multiThreadLumo() || MultiThreadOptionGroup::get()->multiThreadBatchFacet())
        lock.emplace(0);
}

} // namespace

Lumo::Graphics::GroupNode* ViewSelector::Impl::seenWorld(const std::vector<ViewFragmentPass>& passes) {
    std::vector<Lumo::Graphics::GroupNode*> scenes;
    for (const ViewFragmentPass& pass : passes)
        if (pass.scene &&
            (pass.name == ViewFragementPassNames::sModel || pass.name == ViewFragementPassNames::sActiveEdit))
            scenes.push_back(pass.scene.get());
    bool same = seen && seen->ChildCount() == int(scenes.size());
    for (std::size_t i = 0; same && i < scenes.size(); ++i)
        same = seen->Child(int(i)) == scenes[i];
    if (!same) {
        seen = Lumo::Scene::MakeGroupNode(Lumo::Graphics::eSingleNodeWorld, false);
        for (Lumo::Graphics::GroupNode* scene : scenes)
            seen->AddChild(scene);
    }
    return seen;
}

void ViewSelector::Impl::run(const Fragment& f, Lumo::Graphics::ARenderNode* world,
                             Lumo::Devices::ISelectionRegion2D* region, int type, bool hint, bool point, bool hardware,
                             const ZoGePoint3d& nearW, const ZoGePoint3d& farW, SelectionSorter* sorter, int& count) {
    if (!world)
        return;
    AutoPtr<Lumo::Devices::SelectionContext> context(Lumo::Devices::SelectionContext::Make());
    context->Reset();
    context->SelectionType(type);
    context->SelectionLevel(point ? 16 : 1);
    context->IsHWPick(hardware);
    context->IsCullBackFace(false);
    context->SelectionOutput(1);
    context->SelectionHint(hint);
    AutoPtr<Lumo::Graphics::IntersectionList> list(Lumo::Graphics::IntersectionList::Make());
    stage->World(world);
    stage->Context(context);
    stage->Region(region);
    stage->Intersections(list);
    SelectionOutputAgent* output = stage->output(hardware);
    stage->output(false)->clear();
    stage->output(true)->clear();
    stage->Run(*dc);
    count += list->Count();
    for (int i = 0; i < list->Count(); ++i) {
        const Lumo::Graphics::IIntersection& hit = *list->At(i);
        const SelectionOutputAgent::Record* r = output->find(hit);
        // A hardware window pick records only the leaves its geometry filter let through.
        if ((!r && hardware && type == 1) || (r && !r->selectable)) {
            --count;
            continue;
        }
        if (point && r && r->qualifier && !r->qualifier->selectable(const_cast<Lumo::Graphics::IIntersection*>(&hit))) {
            --count;
            continue;
        }
        const auto& p = hit.Point();
        if (point && r && r->halfSection &&
            double(r->plane.x) * p.x + double(r->plane.y) * p.y + double(r->plane.z) * p.z + double(r->plane.w) < 0) {
            --count;
            continue;
        }
        if (!sorter)
            continue;
        const ZoGeMatrix3d toWorld = ToGe(hit.WorldMatrix());
        const ZoGeMatrix3d toLocal = toWorld.inverse();
        ZoGePoint3d local(p.x, p.y, p.z);
        local.transformBy(toLocal);
        ZoGeVector3d normal(hit.Normal().x, hit.Normal().y, hit.Normal().z);
        normal.transformBy(toLocal);
        if (normal.length() > 0)
            normal.normalize();
        ZoGeRay3d ray(nearW, farW - nearW);
        ray.transformBy(toLocal);
        NodePath path = f.base;
        AppendPath(path, hit, seen.get());
        std::vector<SelectionHit> hits;
        if (point)
            hits.emplace_back(IdOf(hit), r ? r->selectionPriority : 0, r ? r->depthPriority : 0, 0.0, local,
                              ray.closestPointTo(local), normal);
        sorter->addHits(path, hits, ray, toWorld, f.transformer);
    }
    stage->output(false)->clear();
    stage->output(true)->clear();
    stage->Intersections(nullptr);
    stage->World(nullptr);
}

void ViewSelector::select(Lumo::Graphics::GroupNode* viewNode, const ZoGePoint2d& point, double tolerance,
                          SelectionSorter* sorter) {
    std::optional<MultiThreadedOpScopedLock> lock;
    TakeOperationLock(lock);
    Impl& s = *m_impl;
    if (!s.prepare(viewNode))
        return;
    for (int i = 0; i < viewNode->ChildCount(); ++i) {
        auto* node = dynamic_cast<Lumo::Graphics::GroupNode*>(viewNode->Child(i));
        Impl::Fragment f;
        if (!node || !s.fragment(node, f))
            continue;
        if (point.x < f.x0 || point.x > f.x0 + f.w || point.y < f.y0 || point.y > f.y0 + f.h)
            continue;
        ZoGePoint3d nearW, farW;
        f.transformer.screenToWorld(ZoGePoint3d(point.x, point.y, 0), nearW);
        f.transformer.screenToWorld(ZoGePoint3d(point.x, point.y, 1), farW);
        AutoPtr<TavexPointRegion> region(TavexPointRegion::Make());
        region->WindowSize({float(f.w), float(f.h)});
        region->Tolerance(int(tolerance));
        region->Point({float(point.x - f.x0), float(point.y - f.y0)});
        int count = 0;
        for (std::size_t p = 0; p < f.passes.size(); ++p)
            s.run(f, f.passes[p].scene, region, 3, p == 0 && GraphicsOptionGroup::get()->selectClosestItemOnly(), true,
                  false, nearW, farW, sorter, count);
        if (count == 0 && f.background && sorter)
            Impl::background(f, point.x, point.y, nearW, farW, sorter);
    }
}

void ViewSelector::select(Lumo::Graphics::GroupNode* viewNode, const ZoGeBoundBlock2d& rectangle,
                          SelectionSorter* sorter, bool crossing) {
    std::optional<MultiThreadedOpScopedLock> lock;
    TakeOperationLock(lock);
    Impl& s = *m_impl;
    if (!s.prepare(viewNode))
        return;
    for (int i = 0; i < viewNode->ChildCount(); ++i) {
        auto* node = dynamic_cast<Lumo::Graphics::GroupNode*>(viewNode->Child(i));
        Impl::Fragment f;
        if (!node || !s.fragment(node, f))
            continue;
        const double x0 = std::max(rectangle.minPoint().x, f.x0), y0 = std::max(rectangle.minPoint().y, f.y0);
        const double x1 = std::min(rectangle.maxPoint().x, f.x0 + f.w),
                     y1 = std::min(rectangle.maxPoint().y, f.y0 + f.h);
        if (x0 > x1 || y0 > y1)
            continue;
        const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        ZoGePoint3d nearW, farW;
        f.transformer.screenToWorld(ZoGePoint3d(cx, cy, 0), nearW);
        f.transformer.screenToWorld(ZoGePoint3d(cx, cy, 1), farW);
        AutoPtr<Lumo::Devices::RectangleRegion> region(Lumo::Devices::RectangleRegion::Make());
        region->WindowSize({float(f.w), float(f.h)});
        region->Min({float(x0 - f.x0), float(y0 - f.y0)});
        region->Max({float(x1 - f.x0), float(y1 - f.y0)});
        // Closest items only: the model and the active edit are picked together in hardware,
        // which sees only what is in front; other passes in software.
        const bool closest = GraphicsOptionGroup::get()->selectClosestItemOnly();
        int count = 0;
        for (const ViewFragmentPass& pass : f.passes) {
            if (closest && pass.name == ViewFragementPassNames::sActiveEdit)
                continue;
            if (closest && pass.name == ViewFragementPassNames::sModel)
                s.run(f, s.seenWorld(f.passes), region, crossing ? 3 : 1, false, false, true, nearW, farW, sorter,
                      count);
            else
                s.run(f, pass.scene, region, crossing ? 3 : 1, false, false, false, nearW, farW, sorter, count);
        }
        if (count == 0 && f.background && sorter)
            Impl::background(f, cx, cy, nearW, farW, sorter);
    }
}

} // namespace Brio::Scene
