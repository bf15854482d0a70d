#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceCaches.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(AVirtualDevice, Lumo::Objects::ARefCounted)

namespace {
struct Live {
    std::mutex mutex;
    std::vector<AVirtualDevice*> devices; // in order of creation
};
Live& GetLive() {
    static Live live;
    return live;
}
} // namespace

AVirtualDevice::AVirtualDevice(Lumo::Objects::UString* name, int deviceType)
    : m_name(name), m_deviceType(deviceType), m_caches(std::make_unique<DeviceCaches>(this)) {
    Live& live = GetLive();
    std::lock_guard<std::mutex> lock(live.mutex);
    live.devices.push_back(this);
}

AVirtualDevice* AVirtualDevice::First() {
    Live& live = GetLive();
    std::lock_guard<std::mutex> lock(live.mutex);
    return live.devices.empty() ? nullptr : live.devices.front();
}

int AVirtualDevice::Count() {
    Live& live = GetLive();
    std::lock_guard<std::mutex> lock(live.mutex);
    return int(live.devices.size());
}

AVirtualDevice::~AVirtualDevice() {
    {
        Live& live = GetLive();
        std::lock_guard<std::mutex> lock(live.mutex);
        live.devices.erase(std::remove(live.devices.begin(), live.devices.end(), this), live.devices.end());
    }
    // Empty the caches while the device is still whole: a backend's resource data may
    // want the device on its way out.
    m_caches->Clear();
}

} // namespace Lumo::Devices
