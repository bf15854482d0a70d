#include <Lumo/Devices/VirtualDevice.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(VirtualDevice, AVirtualDevice)

VirtualDevice* VirtualDevice::Make(Lumo::Objects::UString* interfaceName, int deviceType) {
    static Lumo::Objects::UString* gl = Lumo::Objects::Intern(L"VirtualDeviceGL");
    return new VirtualDevice(interfaceName ? interfaceName : gl, deviceType);
}

} // namespace Lumo::Devices
