#include <Scene/Persistence/LumoSerializerBase.h>

namespace Brio::Scene {

BRIO_SCENE_ENTITY_META_TYPE(LumoSerializerBase, "LumoSerializerBaseMetaType", BlobSerializerTrigger::s_metaTypeId, 1)

LumoSerializerBase::LumoSerializerBase(Segment* segment) : SceneEntity(segment) {}

LumoSerializerBase::LumoSerializerBase(Segment* segment, std::uint64_t persistedId)
    : SceneEntity(segment, persistedId) {}

LumoSerializerBase::~LumoSerializerBase() = default;

} // namespace Brio::Scene
