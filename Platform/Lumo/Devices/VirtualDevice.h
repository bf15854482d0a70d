#pragma once
#include <Lumo/Devices/AVirtualDevice.h>

namespace Lumo::Devices {

/// A device without a graphics context: everything it holds is data, ready for a backend
/// to draw later. What tests, picking in software and image export run on.
class VirtualDevice : public AVirtualDevice {
    LUMO_DECLARE_CLASS()
public:
    /// A null name means "VirtualDeviceGL".
    static VirtualDevice* Make(Lumo::Objects::UString* interfaceName, int deviceType = eDeviceSoftware);

protected:
    VirtualDevice(Lumo::Objects::UString* name, int deviceType) : AVirtualDevice(name, deviceType) {}
};

} // namespace Lumo::Devices
