#pragma once
/// Forward declarations of the host data model.
namespace Brio {
class DataChange;
class Object;
class ObjectPath;
} // namespace Brio
