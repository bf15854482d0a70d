#pragma once
#include <Lumo/Graphics/SelectionStage.h>

namespace Lumo::Graphics {
class ScriptPipeRenderer;
}

namespace Brio::Scene {

class HWSelectionSWFilterAgent;
class SelectionOutputAgent;

/// The selector's selection stage: the graphics system's stage with the scene's agents
/// composed in (visibility, slicing, the selector's own pick agent, and an output agent that
/// records what the scene says of every leaf hit), and a hardware sub-stage, made on the first
/// hardware pick, whose window picks are filtered by geometry behind the hardware agent.
class TavexSelectionStage : public Lumo::Graphics::SelectionStage {
    LUMO_DECLARE_CLASS()
public:
    static TavexSelectionStage* Make() { return new TavexSelectionStage; }
    ~TavexSelectionStage() override;

    /// The base stage's agents (software when true), then the software pipeline composed.
    void Initialize(bool software = true) override;
    /// A context that asks for hardware runs the hardware sub-stage; a window pick runs there
    /// as a crossing one with the geometry filter armed, and the context's type is given back.
    bool Run(Lumo::Devices::ADrawContext& dc) override;

    /// The output agent of the software pipeline, or of the hardware one.
    SelectionOutputAgent* output(bool hardware) const;
    /// Null until the first hardware pick.
    Lumo::Graphics::SelectionStage* hardwareStage() const;
    HWSelectionSWFilterAgent* filterAgent() const;

    /// Composes a pick pipeline: a visibility agent first when asked, level-of-detail
    /// strategies given, style graphs off, a slice agent behind the last swap agent, the
    /// graphics system's software pick agent replaced by the selector's, the output agent last.
    static void compose(Lumo::Graphics::ScriptPipeRenderer& pipe, SelectionOutputAgent* output, bool visibility);

protected:
    TavexSelectionStage();

private:
    void prepareHardware();
    struct Impl;
    Impl* m_impl;
};

} // namespace Brio::Scene
