#pragma once
#include <Scene/Model/INodeSource.h>

#include <cstdint>
#include <vector>

class ENTITY; // a face or edge of the host's geometry kernel
namespace Brio {
class VisualMaterial;
}
namespace Brio::Utility {
class JSONWriter;
}

namespace Brio::Scene {

/// A body whose model node streams it face by face and edge by edge. The host implements it;
/// the library calls entityId, visualMaterial, writeBody and writeBodyChanges.
class IBodyNodeSource : public INodeSource {
public:
    using EntityList = std::vector<ENTITY*>;
    using IdList = std::vector<std::uint64_t>;

    /// The body's faces and edges, in the host's order.
    virtual void entities(EntityList& faces, EntityList& edges) const = 0;
    /// The host's id of the body.
    virtual std::uint64_t bodyId() const = 0;
    /// The stable id of a face or edge of the body.
    virtual std::uint64_t entityId(ENTITY* entity) const = 0;
    /// The entity at an id, or null.
    virtual ENTITY* entityAt(std::uint64_t id) const = 0;
    /// Whether the body has changed since it was last written.
    virtual bool isModified() const = 0;
    /// The entity's visual material; null asks for the body's own.
    virtual Brio::VisualMaterial* visualMaterial(ENTITY* entity) const = 0;
    /// Writes the whole body into the writer's current object.
    virtual void writeBody(Brio::Utility::JSONWriter& writer) const = 0;
    /// Writes an update from the lists the body node prepared.
    virtual void writeBodyChanges(Brio::Utility::JSONWriter& writer, const IdList& deletedFaces,
                                  const EntityList& modifiedFaces, const EntityList& createdFaces,
                                  const IdList& deletedEdges, const EntityList& modifiedEdges,
                                  const EntityList& createdEdges, const IdList& hiddenIds,
                                  const IdList& shownIds) const = 0;

    const Brio::UniqueString* getInterfaceId() const override { return interfaceId(); }
    /// This body for its own interface id, else what a node source answers.
    void* queryInterface(const Brio::UniqueString* id) const override;
    /// "Brio::Scene::IBodyNodeSource".
    static const Brio::UniqueString* interfaceId();
};

} // namespace Brio::Scene
