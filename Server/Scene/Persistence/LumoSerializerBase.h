#pragma once
#include <Brio/DataModel/BlobSerializerTrigger.h>
#include <Scene/Foundations/SceneEntity.h>

namespace Brio::Scene {

/// Base of the document entity through which the library hears of saves and loads, to keep
/// the persistent render graph in the document's blobs. Persists nothing itself.
class LumoSerializerBase : public SceneEntity<LumoSerializerBase, BlobSerializerTrigger> {
public:
    static constexpr const char* s_metaTypeId = "CC33853A-069B-4292-BC1B-059FE3A08E09";
    static SceneEntityMetaType* s_metaType();

protected:
    friend SceneEntity;
    explicit LumoSerializerBase(Segment* segment);
    LumoSerializerBase(Segment* segment, std::uint64_t persistedId);
    ~LumoSerializerBase() override;
};

} // namespace Brio::Scene
