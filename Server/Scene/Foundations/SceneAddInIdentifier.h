#pragma once
#include <string>

namespace Brio {

/// "Scene": the add-in identifier under which the host knows this library and which owns its
/// entity meta types.
const std::string& SceneAddInIdentifier();

} // namespace Brio
