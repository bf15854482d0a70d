#pragma once
#include <Lumo/Devices/EffectCache.h>
#include <Lumo/Devices/FormatCache.h>
#include <Lumo/Devices/TextureCache.h>

namespace Lumo::Devices {

class AVirtualDevice;

/// The shared resources of one device: effects, textures and vertex formats.
class DeviceCaches {
public:
    explicit DeviceCaches(AVirtualDevice* device) : m_effects(device) {}
    DeviceCaches(const DeviceCaches&) = delete;
    DeviceCaches& operator=(const DeviceCaches&) = delete;

    EffectCache* Effects() { return &m_effects; }
    TextureCache* Textures() { return &m_textures; }
    FormatCache* Formats() { return &m_formats; }
    /// Drops everything cached (on device loss, or before the device goes).
    void Clear();

private:
    EffectCache m_effects;
    TextureCache m_textures;
    FormatCache m_formats;
};

} // namespace Lumo::Devices
