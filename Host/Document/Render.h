#pragma once
#include <string>

namespace Host {

class Document;

/// How a document's model is drawn into an image.
struct RenderOptions {
    std::string output = "brioscene.png";
    int width = 800, height = 600;
    std::string style = "edges";         ///< shaded, edges, hidden or a number 0..6
    std::string environment = "SkyRoom"; ///< an environment folder's name, or "none"
    std::string view = "iso";            ///< iso, front, back, left, right, top, bottom, or "saved"
    /// transparent: a clear background, so the environment's dome and ground are left out and the
    /// model is lit by the view's own lights.
    bool msaa = true, fxaa = false, groundShadow = true, transparent = false;
};

/// What a render did.
struct RenderReport {
    double milliseconds = 0;
    std::string device; ///< the renderer's name, e.g. "llvmpipe"
};

/// The visual style number of a name or number; -1 when unknown.
int VisualStyleOf(const std::string& name);
/// Points the document's camera at its model from a named direction, fitted; false for an
/// unknown name.
bool AimCamera(Document& doc, const std::string& view);

/// Draws the document's model off screen through the scene library's image renderer (one view
/// of one fragment, as a host sets it up) and writes a PNG; false with error naming the file
/// and the cause.
bool RenderDocument(Document& doc, const RenderOptions& options, std::string& error, RenderReport* report = nullptr);

} // namespace Host
