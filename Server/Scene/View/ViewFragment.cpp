#include <Scene/View/ViewFragment.h>

namespace Brio::Scene {

BRIO_SCENE_ENTITY_META_TYPE(ViewFragment, "ViewFragmentMetaType", Entity::s_metaTypeId, 2)

ViewFragment::ViewFragment(Segment* segment) : SceneEntity(segment) {}

ViewFragment::ViewFragment(Segment* segment, std::uint64_t persistedId) : SceneEntity(segment, persistedId) {}

ViewFragment::~ViewFragment() = default;

} // namespace Brio::Scene
