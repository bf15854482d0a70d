#pragma once

namespace Lumo::Devices {

/// Which faces the device culls. The values are what stored scenes and callers pass.
enum ECull : int {
    eCullNone = 1,
    eCullFront = 2,
    eCullBack = 3,
};

} // namespace Lumo::Devices
