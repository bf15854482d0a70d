#pragma once
#include <Lumo/Graphics/PixelBasedLODStrategy.h>

namespace Brio::Scene {

/// The scene's level-of-detail strategy: the pixel-based choice mapped onto the levels scene
/// geometry is made at (below 9 gives 8, below 12 gives 11, below 15 gives 13, else the
/// level itself); picks of level-of-detail bodies use the closest level the node has.
class LODStrategy : public Lumo::Graphics::PixelBasedLODStrategy {
    LUMO_DECLARE_CLASS()
public:
    static LODStrategy* make() { return new LODStrategy; }
    static int mapLevel(int level);
    void ComputeLOD(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;

protected:
    LODStrategy() = default;
};

} // namespace Brio::Scene
