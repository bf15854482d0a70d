#include <Host/Document/Document.h>
#include <Host/Document/Picker.h>
#include <Host/Document/Render.h>
#include <Host/Model/Body.h>
#include <Host/Model/Component.h>
#include <Host/Model/Model.h>

#include <Brio/Brio.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Scene/Scene.h>
#include <ZoGe/ZoGe.h>

#include <algorithm>
#include <unordered_map>

namespace Host {

using namespace Brio::Scene;
using Lumo::Objects::AutoPtr;

namespace {

/// Collects what the selector accepts, described in the host's terms.
class Collector : public SelectionSorter {
public:
    Collector(const std::unordered_map<const Lumo::Graphics::ARenderNode*, const Instance*>& placements,
              const Model& model)
        : m_placements(placements), m_model(model) {}
    std::vector<PickHit> hits;

    void addHits(const NodePath& path, const std::vector<SelectionHit>& found, const ZoGeRay3d& localRay,
                 const ZoGeMatrix3d& localToWorld, const ViewFragmentTransformer&) override {
        PickHit h;
        h.path.push_back(m_model.name());
        for (int i = 2; i < path.size(); ++i) {
            Lumo::Graphics::ARenderNode* node = path[i];
            if (auto it = m_placements.find(node); it != m_placements.end()) {
                h.instance = it->second;
                h.placements.push_back(it->second);
                h.path.push_back(it->second->target().name() + " #" + it->second->name());
                continue;
            }
            NodeData* data = Brio::Scene::nodeData(node);
            INodeSource* source = data ? data->source() : nullptr;
            if (auto* body = dynamic_cast<Body*>(source)) {
                if (h.body != body)
                    h.path.push_back(body->name());
                h.body = body;
                const unsigned ct = data->clientType();
                h.kind = ct & eClientEdges ? "edge" : ct & eClientFaces ? "face" : h.kind;
            }
        }
        if (path.size() <= 2)
            h.kind = "background";
        else if (h.kind.empty())
            h.kind = "body";
        ZoGePoint3d origin = localRay.pointOnLine();
        origin.transformBy(localToWorld);
        if (!found.empty()) {
            const SelectionHit& s = found.front();
            ZoGePoint3d p = s.hitPoint();
            p.transformBy(localToWorld);
            ZoGeVector3d n = s.normal();
            n.transformBy(localToWorld);
            if (n.length() > 0)
                n.normalize();
            h.id = s.id();
            h.point[0] = p.x, h.point[1] = p.y, h.point[2] = p.z;
            h.normal[0] = n.x, h.normal[1] = n.y, h.normal[2] = n.z;
            h.selectionPriority = s.selectionPriority();
            h.depthPriority = s.depthPriority();
            h.distance = p.distanceTo(origin);
        }
        hits.push_back(std::move(h));
    }
    void sortHits() override {
        std::stable_sort(hits.begin(), hits.end(), [](const PickHit& a, const PickHit& b) {
            if ((a.kind == "background") != (b.kind == "background"))
                return b.kind == "background";
            if (a.selectionPriority != b.selectionPriority)
                return a.selectionPriority > b.selectionPriority;
            return a.distance < b.distance;
        });
    }

private:
    const std::unordered_map<const Lumo::Graphics::ARenderNode*, const Instance*>& m_placements;
    const Model& m_model;
};

} // namespace

struct Picker::Impl {
    Document* doc;
    int width, height;
    Brio::StrongRef<ViewFragment> fragment;
    Brio::StrongRef<Viewport> viewport;
    AutoPtr<Lumo::Graphics::GroupNode> view;
    ViewSelector* selector = nullptr;
    std::unordered_map<const Lumo::Graphics::ARenderNode*, const Instance*> placements;
};

Picker::Picker(Document& doc, int width, int height, const std::string& view) : m_impl(std::make_unique<Impl>()) {
    Impl& s = *m_impl;
    s.doc = &doc;
    s.width = width;
    s.height = height;
    Provider::provider()->initialize();
    if (view != "saved" || !doc.hasCamera())
        AimCamera(doc, view == "saved" ? "iso" : view);
    doc.showModel();
    ObjectManager::get()->syncChanges();
    Brio::Segment* segment = doc.asset().transientSegment();
    s.fragment = ViewFragment::make(segment);
    s.fragment->camera(&doc.camera());
    s.fragment->scene(&doc.adapter());
    s.view = makeViewNode(nullptr);
    s.viewport = Viewport::make(segment);
    s.viewport->set(0, width, 0, height);
    viewNodeData(s.view)->viewport(s.viewport);
    s.view->AddChild(s.fragment->viewFragmentNode());
    s.selector = Provider::provider()->requestViewSelector();
    // Which placement each instance group shows: the group is the named instance of the
    // parent's reference node for the target.
    for (Instance* i : doc.model().instances()) {
        Lumo::Graphics::ARenderNode* parent = i->parent().sceneNode();
        Lumo::Graphics::ARenderNode* target = i->target().sceneNode();
        if (!parent || !target || !parent->AsGroup())
            continue;
        for (Lumo::Graphics::ARenderNode* child : parent->AsGroup()->Children())
            if (auto* ref = Lumo::Scene::GetReferenceNodeData(child); ref && ref->Target() == target)
                if (Lumo::Graphics::GroupNode* group = ref->TargetInstance(i->name()))
                    s.placements[group] = i;
    }
}

Picker::~Picker() {
    Provider::provider()->releaseViewSelector(m_impl->selector);
    m_impl->view->RemoveChild(m_impl->fragment->viewFragmentNode());
}

std::vector<PickHit> Picker::point(double x, double y, double tolerance) const {
    Collector c(m_impl->placements, m_impl->doc->model());
    // The selector's pixels grow upward from the bottom.
    m_impl->selector->select(m_impl->view, ZoGePoint2d(x, double(m_impl->height) - y), tolerance, &c);
    c.sortHits();
    return c.hits;
}

std::vector<PickHit> Picker::rectangle(double x0, double y0, double x1, double y1, bool crossing) const {
    Collector c(m_impl->placements, m_impl->doc->model());
    const double h = double(m_impl->height);
    m_impl->selector->select(m_impl->view, ZoGeBoundBlock2d(ZoGePoint2d(x0, h - y0), ZoGePoint2d(x1, h - y1)), &c,
                             crossing);
    c.sortHits();
    return c.hits;
}

} // namespace Host
