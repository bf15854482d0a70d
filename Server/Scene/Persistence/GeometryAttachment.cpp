#include <Scene/Persistence/GeometryAttachment.h>

namespace Brio::Scene {

GeometryAttachment::~GeometryAttachment() = default;

} // namespace Brio::Scene
