#pragma once
#include <memory>
#include <string>
#include <vector>

namespace Host {

class Body;
class Component;
class Document;
class Instance;

/// One thing a pick found, described in the host's model.
struct PickHit {
    /// "face", "edge", "vertex", "body" (a rectangle pick takes bodies whole) or "background".
    std::string kind;
    /// The model objects from the assembly down: components and their placements, then the body.
    std::vector<std::string> path;
    const Instance* instance = nullptr;      ///< the innermost placement, null at the root
    std::vector<const Instance*> placements; ///< every placement from the assembly down to instance
    const Body* body = nullptr;
    int id = 0;                   ///< facet, edge or vertex index in the body's mesh
    double point[3] = {0, 0, 0};  ///< on the geometry, in world coordinates
    double normal[3] = {0, 0, 0}; ///< facet normal in world coordinates
    double distance = 0;          ///< from the eye along the pick ray
    int selectionPriority = 0, depthPriority = 0;
};

/// Picks in a view of a document as `RenderDocument` would draw it (same size and camera):
/// points with a pixel tolerance and rectangles, through the scene library's view selector.
/// Pixels are the image's, y growing downward. Hits come nearest first.
class Picker {
public:
    /// view: a named view fitted to the model, or "saved" for the document's own camera.
    Picker(Document& doc, int width, int height, const std::string& view = "iso");
    ~Picker();
    Picker(const Picker&) = delete;
    Picker& operator=(const Picker&) = delete;

    std::vector<PickHit> point(double x, double y, double tolerance = 3) const;
    /// crossing: what the rectangle touches; else what lies wholly inside it.
    std::vector<PickHit> rectangle(double x0, double y0, double x1, double y1, bool crossing) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Host
