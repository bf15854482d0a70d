#include <Lumo/Devices/DeviceFactory.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Objects/UString.h>

namespace Lumo::Devices {

Lumo::Objects::UString* DeviceFactory::GLName() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"VirtualDeviceGL");
    return name;
}
Lumo::Objects::UString* DeviceFactory::Dx11Name() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"VirtualDeviceDx11");
    return name;
}
Lumo::Objects::UString* DeviceFactory::Dx9Name() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"VirtualDeviceDx9");
    return name;
}

AVirtualDevice* DeviceFactory::Create(Lumo::Objects::UString* interfaceName, int, void*, std::string* error) {
    if (interfaceName == GLName())
        return GLDevice::MakeOffscreen(error);
    if (error)
        *error = interfaceName == Dx11Name() || interfaceName == Dx9Name() ? "not available on this platform"
                                                                           : "unknown device interface";
    return nullptr;
}

} // namespace Lumo::Devices
