#pragma once

namespace Lumo::Devices {

/// Which faces the device culls.
enum ECull : int {
    eCullNone = 0,
    eCullFront = 1,
    eCullBack = 2,
};

} // namespace Lumo::Devices
