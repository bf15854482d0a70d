#include <Scene/Persistence/LumoSerializer.h>

namespace Brio::Scene {

BRIO_SCENE_ENTITY_META_TYPE(LumoSerializer, "LumoSerializerMetaType", LumoSerializerBase::s_metaTypeId, 2)

LumoSerializer::LumoSerializer(Segment* segment) : SceneEntity(segment) {}

LumoSerializer::LumoSerializer(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {}

LumoSerializer::~LumoSerializer() = default;

} // namespace Brio::Scene
