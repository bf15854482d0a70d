#include <Scene/Persistence/SphereGeometry.h>

namespace Brio::Scene {

BRIO_SCENE_ENTITY_META_TYPE(SphereGeometry, "SphereGeometryMetaType", Geometry::s_metaTypeId, 2)

SphereGeometry::SphereGeometry(Segment* segment) : SceneEntity(segment) {}

SphereGeometry::SphereGeometry(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {}

SphereGeometry::~SphereGeometry() = default;

} // namespace Brio::Scene
