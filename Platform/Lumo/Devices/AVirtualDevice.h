#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Mutex.h>

#include <memory>

namespace Lumo::Devices {

class DeviceCaches;

/// Kinds of device, as the device type numbers them.
enum EDeviceType : int {
    eDeviceHardware = 1,
    eDeviceReference = 2,
    eDeviceSoftware = 3,
};

/// A graphics device as the rest of the system sees it: its interface name (for example
/// "VirtualDeviceGL"), its type, its caches of shared resources, and the lock that code
/// touching shared drawing data holds. A backend derives from it and adds a context.
class AVirtualDevice : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    ~AVirtualDevice() override;

    Lumo::Objects::UString* Name() const { return m_name; }
    int DeviceType() const { return m_deviceType; }
    bool IsSoftware() const { return m_deviceType == eDeviceSoftware; }
    /// True when the device can draw now; a device of data only answers false.
    virtual bool HasContext() const { return false; }

    DeviceCaches* Caches() const { return m_caches.get(); }
    Lumo::Objects::Threads::Mutex& SyncRoot() const { return m_syncRoot; }

    /// The oldest device still alive (the one shared resources are made on), or null.
    static AVirtualDevice* First();
    /// Live devices.
    static int Count();

protected:
    AVirtualDevice(Lumo::Objects::UString* name, int deviceType);

private:
    Lumo::Objects::UString* m_name;
    int m_deviceType;
    std::unique_ptr<DeviceCaches> m_caches;
    mutable Lumo::Objects::Threads::Mutex m_syncRoot;
};

} // namespace Lumo::Devices
