#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/IBLInstance.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(ADrawContext, Lumo::Objects::ARefCounted)

ADrawContext::ADrawContext(AVirtualDevice* device) : m_device(device) {}

ADrawContext::~ADrawContext() {
    // Attachments may look at the context as they go: drop them while it is whole.
    RemoveAllAttachments();
}

ADrawContext* ADrawContext::Make(AVirtualDevice* device) {
    return new ADrawContext(device);
}

void ADrawContext::ImageBasedLighting(IBLInstance* ibl) {
    m_ibl = ibl;
}

void ADrawContext::CopyView(const ADrawContext& other) {
    m_view = other.m_view;
    m_proj = other.m_proj;
    m_width = other.m_width;
    m_height = other.m_height;
}

} // namespace Lumo::Devices
