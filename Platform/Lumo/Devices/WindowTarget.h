#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <cstdint>
#include <string>
#include <vector>

namespace Lumo::Devices {

class DrawManager;
class RenderTarget;

/// An X11 window frames are shown in. The device draws off screen as always; presenting
/// copies the finished image (resolved) into the window, so any device can show in any
/// window of the display, at the cost of one read-back per frame.
class WindowTarget : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// A target for window on display (an X11 Display*, or null to open $DISPLAY); null when
    /// the display cannot be opened or the window has no true-colour visual (error says why).
    static WindowTarget* Make(void* display, unsigned long window, std::string* error = nullptr);
    ~WindowTarget() override;

    /// The window's current size.
    int Width() const;
    int Height() const;
    /// Copies image into the window's top-left corner; false when it cannot be read.
    bool Present(DrawManager& draw, RenderTarget* image);

protected:
    WindowTarget() = default;

private:
    void* m_display = nullptr;
    bool m_ownsDisplay = false;
    unsigned long m_window = 0;
    void* m_gc = nullptr;
    void* m_visual = nullptr;
    int m_depth = 0;
    std::vector<std::uint8_t> m_rgba, m_bgrx;
};

} // namespace Lumo::Devices
