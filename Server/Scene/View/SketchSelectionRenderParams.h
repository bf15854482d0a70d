#pragma once
#include <Scene/View/SelectionRenderParams.h>

namespace Brio::Scene {

/// Parameters of sketch selection passes (renderers 6, 7), drawn by the highlight graph with
/// a second line colour for a second set of edges.
class SketchSelectionRenderParams : public SelectionRenderParams {
public:
    static SketchSelectionRenderParams* make() { return new SketchSelectionRenderParams; }

    /// Process-wide parameters of the sketch selection pass: renderer 6 (set on every call).
    static SketchSelectionRenderParams& sketchSelectionEffectParams();

    SketchSelectionRenderParams& operator=(const SketchSelectionRenderParams&) = default;

    void Accept(ViewFragmentPassRenderer* renderer) override;
    SketchSelectionRenderParams* clone() const override;

    Brio::Color lineColor2() const { return effect().lineColor2; }

protected:
    SketchSelectionRenderParams() = default;
    SketchSelectionRenderParams(const SketchSelectionRenderParams&) = default;

    void adjustRenderer(bool simplified) override;
};

} // namespace Brio::Scene
