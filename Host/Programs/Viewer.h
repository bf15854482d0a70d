#pragma once

namespace Host {
class Document;
}

/// What `brioscene view` shows and how long.
struct ViewerOptions {
    int width = 1024, height = 768;
    /// Quit after this many frames (0: when the window is closed); for scripted runs.
    int frames = 0;
};

/// Shows the document's model in an X11 window drawn by the scene library's window renderer:
/// drag with the left button to orbit, with the middle button (or shift and left) to pan, turn
/// the wheel to zoom, press f to fit and q or Escape to quit. Answers the exit status.
int RunViewer(Host::Document& doc, const ViewerOptions& options);
