#pragma once
/// Forward declarations of the host add-in manager.
namespace Brio {
class AddInMgr;
class IAddIn;
class IServerAddIn;
} // namespace Brio
