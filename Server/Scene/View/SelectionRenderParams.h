#pragma once
#include <Brio/Types/Color.h>
#include <Scene/Environment/SelectEffectInfo.h>
#include <Scene/View/RenderParams.h>

namespace Brio::Scene {

/// Parameters of selection (renderers 2, 3) and highlight (4, 5) passes. The effect values are
/// not stored here: they are read from the active environment's record for the renderer, or
/// take fixed defaults when there is none, so that changing environments restyles selections.
class SelectionRenderParams : public RenderParams {
public:
    static SelectionRenderParams* make() { return new SelectionRenderParams; }

    /// Process-wide parameters of the selection pass: renderer 2, cached at level 2 (set on
    /// every call).
    static SelectionRenderParams& selectionEffectParams();
    /// Process-wide parameters of the highlight pass: renderer 4 (set on every call).
    static SelectionRenderParams& highlightEffectParams();

    SelectionRenderParams& operator=(const SelectionRenderParams&) = default;

    /// Applies the selection effect option (the degraded one while the pass renderer draws in
    /// interactive quality): option 4 draws the pass as a plain layer; otherwise the renderer
    /// moves to the variant of its pair that the option asks for and the pass renderer picks
    /// the selection or highlight graph.
    void Accept(ViewFragmentPassRenderer* renderer) override;
    SelectionRenderParams* clone() const override;

    /// The effect values for the current renderer: the active environment's selection (2, 3),
    /// highlight (4, 5) or sketch selection (6, 7) record, else the defaults.
    SelectEffectInfo effect() const;

    Brio::Color baseColor() const { return effect().baseColor; }
    Brio::Color backfaceColor() const { return effect().backFaceColor; }
    Brio::Color haloColor() const { return effect().haloColor; }
    Brio::Color hiddenLineColor() const { return effect().hiddenLineColor; }
    Brio::Color lineColor() const { return effect().lineColor; }
    Brio::Color glowColor() const { return effect().glowColor; }
    int haloWidth() const { return effect().haloWidth; }
    float blurWeight() const { return effect().blurWeight; }
    int linesWidth() const { return effect().linesWidth; }
    bool useBase() const { return effect().useBase; }
    bool useGlow() const { return effect().useGlow; }
    bool useHalo() const { return effect().useHalo; }
    bool useHiddenLines() const { return effect().useHiddenLines; }
    bool useLines() const { return effect().useLines; }
    bool quickHalo() const { return effect().quickHalo; }
    bool dilateOne() const { return effect().dilateOne; }

protected:
    SelectionRenderParams();
    SelectionRenderParams(const SelectionRenderParams&) = default;

    /// The first step of Accept: false when the pass was handed over as a plain layer and the
    /// kind's own graph is not wanted.
    bool applySelectionEffectOption(ViewFragmentPassRenderer& renderer);
    /// Moves the renderer to the simplified or the full variant of its pair; renderers of other
    /// pairs stay.
    virtual void adjustRenderer(bool simplified);
};

} // namespace Brio::Scene
