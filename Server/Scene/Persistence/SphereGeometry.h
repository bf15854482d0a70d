#pragma once
#include <Scene/Persistence/Geometry.h>

namespace Brio::Scene {

/// A sphere carried by a document segment; persists nothing of its own.
class SphereGeometry : public SceneEntity<SphereGeometry, Geometry> {
public:
    static constexpr const char* s_metaTypeId = "C6EB6942-A2EB-4288-B4E0-56D14408B5CA";
    static SceneEntityMetaType* s_metaType();

protected:
    friend SceneEntity;
    explicit SphereGeometry(Segment* segment);
    SphereGeometry(Segment* segment, std::uint64_t persistedId);
    ~SphereGeometry() override;
};

} // namespace Brio::Scene
