#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(AVirtualDevice, Lumo::Objects::ARefCounted)

AVirtualDevice::AVirtualDevice(Lumo::Objects::UString* name, int deviceType)
    : m_name(name), m_deviceType(deviceType), m_caches(std::make_unique<DeviceCaches>(this)) {}

AVirtualDevice::~AVirtualDevice() {
    // Empty the caches while the device is still whole: a backend's resource data may
    // want the device on its way out.
    m_caches->Clear();
}

} // namespace Lumo::Devices
