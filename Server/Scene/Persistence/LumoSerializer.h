#pragma once
#include <Scene/Persistence/LumoSerializerBase.h>

namespace Brio::Scene {

/// The document's scene serializer entity: told before the document is saved and after it is
/// loaded. Persists nothing itself.
class LumoSerializer : public SceneEntity<LumoSerializer, LumoSerializerBase> {
public:
    static constexpr const char* s_metaTypeId = "AE9F7FB5-2798-4BE4-8905-F8FB42A07193";
    static SceneEntityMetaType* s_metaType();

protected:
    friend SceneEntity;
    explicit LumoSerializer(Segment* segment);
    LumoSerializer(Segment* segment, std::uint64_t persistedId);
    ~LumoSerializer() override;
};

} // namespace Brio::Scene
