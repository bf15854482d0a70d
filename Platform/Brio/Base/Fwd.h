#pragma once

namespace Brio {

class DelayedEventBase;
class Event;
class EventFilter;
class EventSite;
class EventSource;
class Exception;
class RefCounted;
class ScopedLockBase;
class SpinLock;
class SpinLocker;
class Status;
class TextCommand;
class TextCommandParameters;
class TranscriptMgr;
class TranscriptTrigger;
template<class T> class StrongRef;
class StrongRefBase;
class UniqueString;

} // namespace Brio
