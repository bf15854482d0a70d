#include <Host/Document/Document.h>
#include <Host/Document/Highlighter.h>
#include <Host/Document/Picker.h>
#include <Host/Model/Body.h>
#include <Host/Model/Instance.h>

#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/SBox3.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/ObjectManager.h>
#include <Scene/Change/SceneNodes.h>
#include <Scene/Persistence/SceneAssetAdapter.h>

namespace Host {

using Brio::Scene::NodeChange;
using Lumo::Graphics::GroupNode;
using Lumo::Objects::AutoPtr;

namespace {

/// A group placing one of the body's meshes where the placements put it. The mesh is the
/// body's own, so the device buffers are shared with the model.
AutoPtr<GroupNode> Placed(Lumo::Devices::SimpleMesh* mesh, std::uint32_t clientType, const mat4d& toWorld,
                          const Mesh& source) {
    AutoPtr<GroupNode> group;
    if (!mesh)
        return group;
    AutoPtr<Lumo::Graphics::GeometryNode> leaf;
    {
        NodeChange change;
        leaf = change.createGeometryNode(nullptr);
        change.clientType(clientType);
        change.geometry(mesh, Lumo::Graphics::GeometryNode::kGeometryLevel);
        vec3f lo, hi;
        source.bounds(lo, hi);
        Lumo::Objects::SBox3 box;
        box.Extend(Lumo::Objects::vec3<double>(lo.x, lo.y, lo.z));
        box.Extend(Lumo::Objects::vec3<double>(hi.x, hi.y, hi.z));
        change.modelBox(box);
    }
    NodeChange change;
    group = change.createGroupNode(nullptr, Lumo::Graphics::eSingleNodeWorld);
    change.clientType(clientType);
    change.setAttribute(
        AutoPtr<Lumo::Scene::Attribute>(Lumo::Scene::TransformAttribute::Make(toWorld.Cast<float>(), false)).get());
    change.addChild(leaf);
    return group;
}

} // namespace

Highlighter::Highlighter(Document& doc) : m_doc(doc) {}

Highlighter::~Highlighter() {
    clearSelection();
    clearPrehighlight();
}

bool Highlighter::select(const PickHit& hit) {
    bool changed = show(m_selection, m_doc.adapter().selectionEffectScene(), hit.body, hit.placements);
    // What was just selected is seen in the selection's colour, not under the prehighlight.
    if (hit.body && hit.body == m_prehighlight.body && hit.placements == m_prehighlight.placements)
        changed = clearPrehighlight() || changed;
    return changed;
}

bool Highlighter::prehighlight(const PickHit& hit) {
    if (hit.body && hit.body == m_selection.body && hit.placements == m_selection.placements)
        return clearPrehighlight();
    return show(m_prehighlight, m_doc.adapter().prehighlightEffectScene(), hit.body, hit.placements);
}

bool Highlighter::clearSelection() {
    return show(m_selection, m_doc.adapter().selectionEffectScene(), nullptr, {});
}

bool Highlighter::clearPrehighlight() {
    return show(m_prehighlight, m_doc.adapter().prehighlightEffectScene(), nullptr, {});
}

bool Highlighter::show(Shown& shown, GroupNode* scene, const Body* body,
                       const std::vector<const Instance*>& placements) {
    if (!body && !shown.body)
        return false;
    if (body == shown.body && placements == shown.placements)
        return false;
    // The selection passes draw the scene's faces group as faces and its edges group as lines.
    GroupNode* faces = Brio::Scene::findFacesChild(scene);
    GroupNode* edges = Brio::Scene::findEdgesChild(scene, 0);
    if (!faces || !edges)
        return false;
    if (shown.faces) {
        NodeChange change(faces, false);
        change.removeChild(shown.faces);
    }
    if (shown.edges) {
        NodeChange change(edges, false);
        change.removeChild(shown.edges);
    }
    if (body) {
        // Row vectors: the innermost placement applies first.
        mat4d toWorld;
        for (auto it = placements.rbegin(); it != placements.rend(); ++it)
            toWorld = toWorld * (*it)->transform();
        const Mesh& mesh = *body->mesh();
        AutoPtr<GroupNode> f = Placed(mesh.facesAt(15), Brio::Scene::eClientFaces, toWorld, mesh);
        AutoPtr<GroupNode> e = Placed(mesh.edgeMesh(), Brio::Scene::eClientEdges, toWorld, mesh);
        if (f) {
            NodeChange change(faces, false);
            change.addChild(f);
        }
        if (e) {
            NodeChange change(edges, false);
            change.addChild(e);
        }
        // Applied now, so that the removed groups may go with the references below.
        Brio::Scene::ObjectManager::get()->syncChanges();
        shown.faces = f;
        shown.edges = e;
    } else {
        Brio::Scene::ObjectManager::get()->syncChanges();
        shown.faces = nullptr;
        shown.edges = nullptr;
    }
    shown.body = body;
    shown.placements = placements;
    return true;
}

} // namespace Host
