#pragma once
#include <string>

namespace Lumo::Objects {
class UString;
}

namespace Lumo::Devices {

class AVirtualDevice;

/// Makes devices by interface name, as a host asks for them. "VirtualDeviceGL" is the OpenGL
/// device; "VirtualDeviceDx11" and "VirtualDeviceDx9" are known names that no backend
/// provides on this platform, so asking for them fails and callers fall back.
class DeviceFactory {
public:
    static Lumo::Objects::UString* GLName();   ///< "VirtualDeviceGL"
    static Lumo::Objects::UString* Dx11Name(); ///< "VirtualDeviceDx11"
    static Lumo::Objects::UString* Dx9Name();  ///< "VirtualDeviceDx9"

    /// A new device of that interface (the caller holds it), or null with the reason in error.
    /// The window, when given, is where the device's frames will be shown; device type 3
    /// asks for the software device, which an OpenGL driver decides for itself.
    static AVirtualDevice* Create(Lumo::Objects::UString* interfaceName, int deviceType = 0, void* window = nullptr,
                                  std::string* error = nullptr);
};

} // namespace Lumo::Devices
