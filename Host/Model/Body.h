#pragma once
#include <Host/Model/Material.h>
#include <Host/Model/Mesh.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Model/IBodyNodeSource.h>

#include <cstdint>
#include <string>

namespace Lumo::Graphics {
class ARenderNode;
class GeometryNode;
} // namespace Lumo::Graphics
namespace Lumo::Scene {
class LODGeometryNode;
}

namespace Host {

class Component;

/// A body of a component: its faces and edges (one mesh) and its visual material. In the scene
/// it is a body node with a faces child (client type "Faces", levels of detail made on demand)
/// and an edges child (client type "Edges"); every instance of the component shows the same
/// nodes. Edits post node changes, seen at the next sync.
class Body : public Brio::Scene::IBodyNodeSource {
public:
    Body(Component& owner, std::uint64_t id, std::string name, MeshPtr mesh, Material material);
    ~Body() override;
    Body(const Body&) = delete;
    Body& operator=(const Body&) = delete;

    Component& component() const { return *m_owner; }
    std::uint64_t id() const { return m_id; }
    const std::string& name() const { return m_name; }
    const MeshPtr& mesh() const { return m_mesh; }

    const Material& material() const { return m_material; }
    void material(const Material& material);
    bool visible() const { return m_visible; }
    void visible(bool on);

    // Scene nodes, null until the scene is made.
    Lumo::Graphics::ARenderNode* sceneNode() const override;
    Lumo::Graphics::ARenderNode* facesNode() const;
    Lumo::Graphics::ARenderNode* edgesNode() const;

    // Node source.
    Lumo::Graphics::GroupNode* parentGroupNode() const override;
    Lumo::Objects::SBox3 realizeModelBox(Brio::Scene::NodeChange& change) override;
    void realizeGeometry(Brio::Scene::NodeChange& change, int lod) override;
    void releaseScene() override;
    std::uint64_t sourceId() const override { return m_id; }
    Brio::Scene::NodePath leafNodePath(std::uint64_t qualifier, std::uint32_t clientType) override;

    // Body source: the host's faces and edges are the mesh's, with no kernel entities.
    void entities(EntityList& faces, EntityList& edges) const override;
    std::uint64_t bodyId() const override { return m_id; }
    std::uint64_t entityId(ENTITY*) const override { return m_id; }
    ENTITY* entityAt(std::uint64_t) const override { return nullptr; }
    bool isModified() const override { return false; }
    Brio::VisualMaterial* visualMaterial(ENTITY*) const override { return nullptr; }
    void writeBody(Brio::Utility::JSONWriter& writer) const override;
    void writeBodyChanges(Brio::Utility::JSONWriter& writer, const IdList&, const EntityList&, const EntityList&,
                          const IdList&, const EntityList&, const EntityList&, const IdList&,
                          const IdList&) const override;

protected:
    void sceneNode(Lumo::Graphics::ARenderNode* node) override;
    void onCreateScene(Brio::Scene::NodeChange& change) override;
    void realizeAppearance(Brio::Scene::NodeChange& change) override;
    void realizeChildNodes(Brio::Scene::NodeChange& change) override;

private:
    Component* m_owner;
    std::uint64_t m_id;
    std::string m_name;
    MeshPtr m_mesh;
    Material m_material;
    bool m_visible = true;
    Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderNode> m_node, m_faces, m_edges;
};

} // namespace Host
