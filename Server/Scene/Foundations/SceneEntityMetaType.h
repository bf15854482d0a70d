#pragma once
#include <Brio/DataModel/EntityMetaType.h>

namespace Brio::Scene {

/// The meta type of one entity class of the library: owned by the add-in "Scene", number 0,
/// with the plain class name its member set is initialised with, and the class's loading
/// constructor behind create(). One per class, made when the library loads
/// (BRIO_SCENE_ENTITY_META_TYPE in SceneEntity.h).
class SceneEntityMetaType : public EntityMetaType {
public:
    using CreateFunction = StrongRef<Entity> (*)(Segment* segment, std::uint64_t persistedId);

    SceneEntityMetaType(const char* className, const char* metaTypeId, const char* name, const char* baseMetaTypeId,
                        int entityType, CreateFunction create);

    StrongRef<Entity> create(Segment* segment, std::uint64_t persistedId) override;
    /// "Camera", "MeshGeometry"...
    const char* className() const { return m_className; }

private:
    const char* m_className;
    CreateFunction m_create;
};

} // namespace Brio::Scene
