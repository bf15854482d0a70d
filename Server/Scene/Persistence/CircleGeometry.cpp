#include <Scene/Persistence/CircleGeometry.h>

namespace Brio::Scene {

BRIO_SCENE_ENTITY_META_TYPE(CircleGeometry, "CircleGeometryMetaType", Geometry::s_metaTypeId, 2)

CircleGeometry::CircleGeometry(Segment* segment) : SceneEntity(segment) {}

CircleGeometry::CircleGeometry(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {}

CircleGeometry::~CircleGeometry() = default;

} // namespace Brio::Scene
