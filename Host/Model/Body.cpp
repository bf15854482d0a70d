#include <Host/Model/Body.h>
#include <Host/Model/Component.h>

#include <Brio/Base/JSONWriter.h>
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/SBox3.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Change/ClientTypes.h>
#include <Scene/Change/NodeChange.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/NodePath.h>
#include <Scene/Nodes/LODGeometryNode.h>

namespace Host {

using Brio::Scene::NodeChange;
using Lumo::Objects::AutoPtr;

Body::Body(Component& owner, std::uint64_t id, std::string name, MeshPtr mesh, Material material)
    : m_owner(&owner), m_id(id), m_name(std::move(name)), m_mesh(std::move(mesh)), m_material(std::move(material)) {}

Body::~Body() {
    releaseScene();
}

Lumo::Graphics::ARenderNode* Body::sceneNode() const {
    return m_node.get();
}
Lumo::Graphics::ARenderNode* Body::facesNode() const {
    return m_faces.get();
}
Lumo::Graphics::ARenderNode* Body::edgesNode() const {
    return m_edges.get();
}

void Body::sceneNode(Lumo::Graphics::ARenderNode* node) {
    m_node = node;
}

Lumo::Graphics::GroupNode* Body::parentGroupNode() const {
    return m_owner->groupNode();
}

void Body::material(const Material& material) {
    if (material == m_material)
        return;
    m_material = material;
    if (m_node) {
        NodeChange change(m_node, false);
        realizeAppearance(change);
    }
}

void Body::visible(bool on) {
    if (on == m_visible)
        return;
    m_visible = on;
    if (m_node) {
        NodeChange change(m_node, false);
        change.visibility(on);
    }
}

void Body::onCreateScene(NodeChange& change) {
    sceneNode(change.createBodyNode(this, m_id, Lumo::Graphics::eSingleNodeWorld));
    change.clientType(Brio::Scene::eClientBody);
    INodeSource::onCreateScene(change);
}

Lumo::Objects::SBox3 Body::realizeModelBox(NodeChange& change) {
    vec3f lo, hi;
    m_mesh->bounds(lo, hi);
    Lumo::Objects::SBox3 box;
    box.Extend(Lumo::Objects::vec3<double>(lo.x, lo.y, lo.z));
    box.Extend(Lumo::Objects::vec3<double>(hi.x, hi.y, hi.z));
    change.modelBox(box);
    return box;
}

void Body::realizeGeometry(NodeChange& change, int lod) {
    // Asked by the faces node when a view wants a level it has not got yet; small meshes have
    // the full level only and the node falls back to it.
    if (change.node() == m_faces.get())
        if (Lumo::Devices::SimpleMesh* mesh = m_mesh->facesAt(lod))
            change.geometry(mesh, lod);
}

void Body::realizeAppearance(NodeChange& change) {
    const Material& m = m_material;
    change.setAttribute(AutoPtr<Lumo::Scene::Attribute>(
                            Lumo::Scene::ColorEffectAttribute::Make(Lumo::Objects::vec4<float>(m.r, m.g, m.b, 1.f)))
                            .get());
    if (m.a < 1.f)
        change.opacity(m.a, false);
    else
        change.removeAttribute(Lumo::Scene::eOpacity);
    if (!m_visible)
        change.visibility(false);
}

void Body::realizeChildNodes(NodeChange& change) {
    {
        NodeChange faces;
        m_faces = faces.createLODGeometryNode(this);
        faces.clientType(Brio::Scene::eClientFaces);
        faces.geometry(m_mesh->facesAt(15), 15);
        realizeModelBox(faces);
    }
    change.addChild(m_faces);
    if (Lumo::Devices::SimpleMesh* lines = m_mesh->edgeMesh()) {
        NodeChange edges;
        m_edges = edges.createGeometryNode(this);
        edges.clientType(Brio::Scene::eClientEdges);
        edges.geometry(lines, Lumo::Graphics::GeometryNode::kGeometryLevel);
        change.addChild(m_edges);
    }
}

void Body::releaseScene() {
    for (Lumo::Graphics::ARenderNode* child : {m_faces.get(), m_edges.get()})
        if (child) {
            NodeChange change(child, false);
            change.clearSource();
        }
    m_faces = nullptr;
    m_edges = nullptr;
    if (m_node)
        INodeSource::releaseScene();
}

Brio::Scene::NodePath Body::leafNodePath(std::uint64_t, std::uint32_t clientType) {
    Brio::Scene::NodePath path;
    if (clientType & Brio::Scene::eClientFaces && m_faces)
        path.push(m_faces);
    else if (clientType & Brio::Scene::eClientEdges && m_edges)
        path.push(m_edges);
    return path;
}

void Body::entities(EntityList& faces, EntityList& edges) const {
    faces.clear();
    edges.clear();
}

void Body::writeBody(Brio::Utility::JSONWriter& writer) const {
    auto field = [&writer](std::string_view name, const auto& value) {
        writer.beginField(name);
        writer.write(value);
        writer.endField();
    };
    field("name", std::string_view(m_name));
    field("triangles", static_cast<unsigned long long>(m_mesh->triangleCount()));
    field("edges", static_cast<unsigned long long>(m_mesh->edgeCount()));
    field("material", std::string_view(m_material.name));
}

void Body::writeBodyChanges(Brio::Utility::JSONWriter& writer, const IdList&, const EntityList&, const EntityList&,
                            const IdList&, const EntityList&, const EntityList&, const IdList&, const IdList&) const {
    writeBody(writer);
}

} // namespace Host
