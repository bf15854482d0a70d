#include <Lumo/Devices/ABackendData.h>
#include <Lumo/Devices/ADeviceResource.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(ADeviceResource, Lumo::Objects::ARefCounted)

ADeviceResource::ADeviceResource() = default;
ADeviceResource::~ADeviceResource() = default;

void ADeviceResource::BackendData(ABackendData* data) {
    m_backend.reset(data);
}

} // namespace Lumo::Devices
