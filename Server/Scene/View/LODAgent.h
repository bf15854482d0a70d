#pragma once
#include <Lumo/Graphics/AAgent.h>
#include <Lumo/Objects/AutoPtr.h>

namespace Lumo::Graphics {

class PixelBasedLODStrategy;

/// Sets each state's level of detail through the strategy of the renderer's "LOD Strategy"
/// (a pixel-based strategy without one). Class name "TavexLODAgent"; a class of the scene
/// library despite its namespace.
class LODAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static LODAgent* Make() { return new LODAgent; }
    AAgent* Clone() const override { return new LODAgent; }
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;
    ~LODAgent() override;

protected:
    LODAgent();

private:
    Lumo::Objects::AutoPtr<PixelBasedLODStrategy> m_default;
    PixelBasedLODStrategy* m_strategy = nullptr;
};

} // namespace Lumo::Graphics
