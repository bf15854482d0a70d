#pragma once
#include <Lumo/Devices/AVirtualDevice.h>

#include <memory>
#include <string>

namespace Lumo::Devices {

class DrawManager;
class TargetCache;

/// The OpenGL 4.5 core device ("VirtualDeviceGL"). Off-screen devices get their context from
/// EGL without a display (Mesa's surfaceless platform), so they work on machines without a
/// window system; on Mesa's software rasterizer the device reports itself as software.
class GLDevice : public AVirtualDevice {
    LUMO_DECLARE_CLASS()
public:
    /// An off-screen device, or null when no OpenGL 4.5 core context can be made (error says why).
    static GLDevice* MakeOffscreen(std::string* error = nullptr);
    ~GLDevice() override;

    bool HasContext() const override { return true; }
    /// Makes the device's context current on the calling thread (cheap when it already is).
    bool MakeCurrent();

    /// The driver's renderer and version strings.
    const std::string& RendererName() const { return m_renderer; }
    const std::string& VersionString() const { return m_version; }
    /// The driver's vendor string.
    const std::string& VendorName() const { return m_vendor; }
    /// Capability level in the fragment graphs' scale: 20 basic, 30 multiple targets and float
    /// formats, 40 and above everything an OpenGL 4.5 device does (answers 45).
    int FeatureLevel() const { return 45; }
    /// Largest sample count of multisampled targets (1 when multisampling is unavailable).
    int MaxSamples() const { return m_maxSamples; }
    /// The sample count a multisampled target gets: 4 where the device offers it.
    int MultisampleCount() const { return m_maxSamples >= 4 ? 4 : m_maxSamples; }

    DrawManager& Draw() { return *m_draw; }
    TargetCache& Targets() { return *m_targets; }

    struct Context; // EGL and per-context GL objects

protected:
    GLDevice(int deviceType);

private:
    std::unique_ptr<Context> m_context;
    std::unique_ptr<DrawManager> m_draw;
    std::unique_ptr<TargetCache> m_targets;
    std::string m_renderer, m_version, m_vendor;
    int m_maxSamples = 1;
};

} // namespace Lumo::Devices
