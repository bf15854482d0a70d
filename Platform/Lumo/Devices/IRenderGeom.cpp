#include <Lumo/Devices/IRenderGeom.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(IRenderGeom, ADeviceResource)

bool IRenderGeom::Prepare(EffectInstance*, int) {
    return !Box().IsEmpty();
}

} // namespace Lumo::Devices
