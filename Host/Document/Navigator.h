#pragma once

namespace Brio::Scene {
class Camera;
}

namespace Host {

class Document;

/// Mouse navigation of a view's camera as CAD users expect it: drag with the left button to
/// orbit about the target, with the middle button (or shift and left) to pan so the model
/// follows the pointer, turn the wheel to zoom about the target, fit to see everything.
/// Window-system free: a window feeds it its events.
class Navigator {
public:
    enum class Button { Left, Middle, Right };

    Navigator(Document& doc, int viewportHeight) : m_doc(&doc), m_height(viewportHeight) {}
    void viewportHeight(int h) { m_height = h; }

    void press(Button button, bool shift, int x, int y);
    /// Moves the camera for the drag in progress; false when nothing is being dragged.
    bool move(int x, int y);
    void release();
    bool dragging() const { return m_mode != Mode::Still; }
    /// One wheel step: towards the target when `in`.
    void wheel(bool in);
    /// The iso view fitted to the whole model.
    void fit();

    /// Model units one pixel covers at the target's depth.
    double unitsPerPixel() const;

private:
    enum class Mode { Still, Orbit, Pan };
    Brio::Scene::Camera& camera() const;
    Document* m_doc;
    int m_height;
    Mode m_mode = Mode::Still;
    int m_x = 0, m_y = 0;
};

} // namespace Host
