#pragma once

namespace Brio {

class AtomicFile;
class BootstrapOptionGroup;
class DelayedEventBase;
class Event;
class EventFilter;
class EventSite;
class EventSource;
class Exception;
struct LocalizedString;
class MultiThreadOptionGroup;
template <class T> class Option;
class OptionBase;
class OptionGroup;
class PersistenceOptionGroup;
class RefCounted;
class ScopedLockBase;
class SpinLock;
class SpinLocker;
class Status;
class TextCommand;
class TextCommandConsole;
class TextCommandParameters;
class TranscriptMgr;
class TranscriptTrigger;
template <class T> class StrongRef;
class StrongRefBase;
class StringTable;
class UniqueString;
class XMLAttribute;
class XMLDocument;
class XMLNode;
class XMLString;

namespace Utility {
class JSONWriter;
} // namespace Utility

} // namespace Brio
