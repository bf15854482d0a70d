#include <Lumo/Devices/RenderCamera.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(ARenderCamera, Lumo::Objects::ARefCounted)

ARenderCamera* ARenderCamera::Make(const Lumo::Objects::mat4<float>& view, const Lumo::Objects::mat4<float>& proj) {
    return new ARenderCamera(view, proj);
}

} // namespace Lumo::Devices
