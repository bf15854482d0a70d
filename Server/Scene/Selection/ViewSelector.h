#pragma once

class ZoGeBoundBlock2d;
class ZoGePoint2d;

namespace Lumo::Graphics {
class GroupNode;
}

namespace Brio::Scene {

class SelectionSorter;

/// Answers which scene nodes lie under a pixel or within a rectangle of one view: runs the
/// selection stage over every selectable pass of every view fragment (in the view's order),
/// drops what is not selectable, what a selection qualifier refuses and what a half section
/// cuts away, and hands each accepted intersection to the host's sorter with its node path and
/// hit. A fragment where nothing is hit gives a background hit when it supports one.
/// Coordinates are window pixels with y growing upward from the window's bottom, as viewports
/// give them.
class ViewSelector {
public:
    static ViewSelector* make();
    void destroy();

    /// Point selection with a tolerance in pixels.
    void select(Lumo::Graphics::GroupNode* viewNode, const ZoGePoint2d& point, double tolerance,
                SelectionSorter* sorter);
    /// Rectangle selection: with crossing what the rectangle touches, else what lies inside it.
    void select(Lumo::Graphics::GroupNode* viewNode, const ZoGeBoundBlock2d& rectangle, SelectionSorter* sorter,
                bool crossing);

private:
    ViewSelector();
    ~ViewSelector();
    ViewSelector(const ViewSelector&) = delete;
    ViewSelector& operator=(const ViewSelector&) = delete;
    struct Impl;
    Impl* m_impl;
};

} // namespace Brio::Scene
