#pragma once
#include <cstdint>

namespace Lumo::Graphics {

/// Render-node flag bits the graphics system itself interprets.
enum ERenderFlags : std::uint32_t {
    eFlagTargetBeingShared = 0x40, ///< a shared target is being added to an instance group
    eFlagWorldBoxValid = 0x100,    ///< the node's cached world box is current
    eFlagItemBuilt = 0x1000,       ///< the node's render item was built
    eFlagNoRealize = 0x2000,       ///< the walk does not realise the node again
    eFlagOwnWorldBox = 0x8000,     ///< a group that boxes itself from its children
    eFlagNoDraw = 0x10000,         ///< drawing passes skip the node and everything below it
    eFlagNoShadow = 0x20000,       ///< the node casts no shadow
};

} // namespace Lumo::Graphics
