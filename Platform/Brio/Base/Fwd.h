#pragma once

namespace Brio {

class Exception;
class RefCounted;
class ScopedLockBase;
class SpinLock;
class SpinLocker;
class Status;
class TextCommand;
class TextCommandParameters;
template<class T> class StrongRef;
class StrongRefBase;
class UniqueString;

} // namespace Brio
