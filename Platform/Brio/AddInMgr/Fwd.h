#pragma once
/// Forward declarations of the host add-in manager.
namespace Brio {
class AddInMgr;
} // namespace Brio
