#include <Lumo/Devices/DeviceCaches.h>

namespace Lumo::Devices {

void DeviceCaches::Clear() {
    m_effects.Clear();
    m_textures.Clear();
    m_formats.Clear();
}

} // namespace Lumo::Devices
