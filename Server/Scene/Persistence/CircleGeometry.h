#pragma once
#include <Scene/Persistence/Geometry.h>

namespace Brio::Scene {

/// A circle carried by a document segment; persists nothing of its own.
class CircleGeometry : public SceneEntity<CircleGeometry, Geometry> {
public:
    static constexpr const char* s_metaTypeId = "24D344C2-AE21-4514-AB79-D99535408C2D";
    static SceneEntityMetaType* s_metaType();

protected:
    friend SceneEntity;
    explicit CircleGeometry(Segment* segment);
    CircleGeometry(Segment* segment, std::uint64_t persistedId);
    ~CircleGeometry() override;
};

} // namespace Brio::Scene
