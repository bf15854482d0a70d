#include <Scene/Persistence/Geometry.h>

#include <Scene/Persistence/GeometryAttachment.h>

namespace Brio::Scene {

BRIO_SCENE_ENTITY_META_TYPE(Geometry, "GeometryMetaType", Entity::s_metaTypeId, 1)

Geometry::Geometry(Segment* segment) : SceneEntity(segment) {}

Geometry::Geometry(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {}

Geometry::~Geometry() {
    delete m_attachment;
}

void Geometry::purgeAttachments() {
    delete m_attachment;
    m_attachment = nullptr;
}

} // namespace Brio::Scene
