#pragma once
#include <Brio/Base/StrongRef.h>
#include <Lumo/Objects/AutoPtr.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Brio {
class MemoryImageResource;
}
namespace Lumo::Devices {
class ADrawContext;
class AVirtualDevice;
class FragmentGraph;
class GLDevice;
class RenderTarget;
class StateSetter;
class WindowTarget;
} // namespace Lumo::Devices
namespace Lumo::Graphics {
class GroupNode;
class ScriptInterpreter;
} // namespace Lumo::Graphics

namespace Lumo::Objects {
class SBox3;
}

namespace Brio::Scene {

class Camera;

class ViewRenderer;
class ViewFragmentNodeData;
class ViewFragmentPassRenderer;

/// What a view renderer draws with: the shared device, its own draw context and targets, the
/// interpreter that runs fragment graphs, and the pass renderer. One frame synchronises the
/// scene, sizes the targets to the view's viewport, clears, draws each fragment's passes and
/// resolves, smooths (FXAA) and presents the result.
class RenderEngine {
public:
    /// window: an X11 window id, or null for off-screen images.
    RenderEngine(ViewRenderer& owner, void* window);
    ~RenderEngine();
    RenderEngine(const RenderEngine&) = delete;
    RenderEngine& operator=(const RenderEngine&) = delete;

    /// Takes the shared device and makes what the frames need; false without a device (the
    /// engine then draws nothing).
    bool initialize();
    /// One frame of invalidate bits type.
    void frame(unsigned type);
    /// Gives the targets back to the device's cache.
    void releaseTargets();

    /// The finished picture of the last frame as 8-bit RGBA, rows top first.
    bool readPixels(std::vector<std::uint8_t>& rgba, int& width, int& height);
    bool writePng(const std::string& utf8Path);
    /// The finished picture as a new image (8-bit RGBA), or null; and written to a PNG file.
    Brio::StrongRef<Brio::MemoryImageResource> readImage();
    bool writeImage(const std::wstring& path);

    Lumo::Devices::AVirtualDevice* device() const;
    Lumo::Devices::ADrawContext* drawContext() const;
    ViewFragmentPassRenderer& passRenderer() const { return *m_passes; }
    int targetWidth() const { return m_width; }
    int targetHeight() const { return m_height; }
    /// Samples of the colour target (1 without multisampling); 0 before a frame.
    int sampleCount() const;
    bool multisampling() const { return m_msaa; }
    bool fxaa() const { return m_fxaa; }
    /// The frame rate last measured by a window renderer (60 until then).
    int lastFrameRate() const { return m_frameRate; }
    void lastFrameRate(int fps) { m_frameRate = fps; }
    /// The caching level of the last frame: 0 none, 1 partial, 2 full.
    int cachingLevel() const { return m_cachingLevel; }
    /// Fragments drawn by the last frame, and frames that found the device unable to draw.
    int fragmentsDrawn() const { return m_fragmentsDrawn; }
    int refusedFrames() const { return m_refusedFrames; }
    /// Passes the last frame took from the pass cache instead of drawing them.
    int cachedPasses() const;

private:
    bool beginDeviceFrame();
    void recover();
    void updateTargets(int width, int height);
    void runFragments(unsigned type);
    int decideCachingLevel(unsigned type) const;
    void setCamera(ViewFragmentNodeData& data, bool independent, int width, int height);

public:
    /// Fits the camera's clip range around a world box (a default box when empty): generous,
    /// unless a layout grid stands with the scene, and within "MaxNearFarRatio" in perspective.
    /// Views fit it every frame; a pick fits it too, so that it works before any frame.
    static void fitClipRange(Camera& camera, const Lumo::Objects::SBox3& box, bool grid);

private:
    void realizeLighting(ViewFragmentNodeData& data);

    ViewRenderer& m_owner;
    void* m_window;
    Lumo::Objects::AutoPtr<Lumo::Devices::GLDevice> m_device;
    Lumo::Objects::AutoPtr<Lumo::Devices::ADrawContext> m_dc;
    Lumo::Objects::AutoPtr<Lumo::Devices::WindowTarget> m_windowTarget;
    int m_width = 0, m_height = 0;
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderTarget> m_color, m_depth, m_resolve;
    std::unique_ptr<Lumo::Graphics::ScriptInterpreter> m_interpreter;
    Lumo::Objects::AutoPtr<Lumo::Devices::FragmentGraph> m_fxaaGraph;
    Lumo::Objects::AutoPtr<Lumo::Devices::StateSetter> m_baseStates;
    std::vector<Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode>> m_fragments;
    std::unique_ptr<ViewFragmentPassRenderer> m_passes;
    int m_frameRate = 60;
    int m_cachingLevel = 0;
    bool m_msaa = false, m_fxaa = false;
    int m_samples = 0;
    int m_fragmentsDrawn = 0, m_refusedFrames = 0;
    bool m_imageReady = false;
};

} // namespace Brio::Scene
