#pragma once
#include <Scene/Foundations/SceneEntity.h>

namespace Brio::Scene {

/// One fragment of a view as a document entity: it owns the fragment's render node and passes
/// and refers to its camera, viewport and lighting. Persists nothing itself.
class ViewFragment : public SceneEntity<ViewFragment, Entity> {
public:
    static constexpr const char* s_metaTypeId = "DD089E83-31FB-4CC8-8678-96730188BCF7";
    static SceneEntityMetaType* s_metaType();

protected:
    friend SceneEntity;
    explicit ViewFragment(Segment* segment);
    ViewFragment(Segment* segment, std::uint64_t persistedId);
    ~ViewFragment() override;
};

} // namespace Brio::Scene
