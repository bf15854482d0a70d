#pragma once
#include <utility>
#include <vector>

namespace Host {
class Document;
}

/// What `brioscene view` shows and how long.
struct ViewerOptions {
    int width = 1024, height = 768;
    /// Quit after this many frames (0: when the window is closed); for scripted runs.
    int frames = 0;
    /// Window pixels to click once the first frame is drawn, as a user would (for scripts).
    std::vector<std::pair<int, int>> clicks;
    /// Window pixels the pointer moves to (without a button) before those clicks.
    std::vector<std::pair<int, int>> hovers;
};

/// Shows the document's model in an X11 window drawn by the scene library's window renderer:
/// drag with the left button to orbit, with the middle button (or shift and left) to pan, turn
/// the wheel to zoom, press f to fit and q or Escape to quit. What lies under the pointer is
/// prehighlighted; a click selects it (drawn in the selection colour, and printed), a click on
/// the background clears the selection. Answers the exit status.
int RunViewer(Host::Document& doc, const ViewerOptions& options);
