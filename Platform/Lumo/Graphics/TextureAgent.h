#pragma once
#include <Lumo/Graphics/AAgent.h>

namespace Lumo::Graphics {

/// Holds back states whose textures are being written, so no half-written texture is drawn.
class TextureAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static TextureAgent* Make() { return new TextureAgent; }
    AAgent* Clone() const override { return new TextureAgent; }
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;
    bool WantsItems() const override { return true; }

protected:
    TextureAgent() = default;
};

} // namespace Lumo::Graphics
