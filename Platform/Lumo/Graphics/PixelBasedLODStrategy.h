#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Devices {
class ADrawContext;
}

namespace Lumo::Graphics {

class TraversalState;

/// Chooses a state's geometry level of detail (0 coarsest .. 15 finest) from how many pixels
/// its box covers on screen: a part a full screen high gets 15, each halving of its size one
/// level less.
class PixelBasedLODStrategy : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static PixelBasedLODStrategy* Make();

    /// Pixels the state's box spans across on screen (0 when it has no box or no viewport).
    static double ProjectedPixels(const Lumo::Devices::ADrawContext& dc, const TraversalState& state);
    /// The level for that many pixels.
    static int LevelForPixels(double pixels);
    /// Sets the state's level (and geometry level) of detail.
    virtual void ComputeLOD(Lumo::Devices::ADrawContext& dc, TraversalState& state);

protected:
    PixelBasedLODStrategy() = default;
};

} // namespace Lumo::Graphics
