#pragma once

#include <string>

namespace Brio {

/// Reports one change to the session transcript (TranscriptMgr). A subclass says how the
/// change reads as a text command and calls writeTranscriptEntry when the change is done.
class TranscriptTrigger {
public:
    virtual ~TranscriptTrigger();

    /// Writes the trigger's text-command entry to the transcript; nothing when it has none.
    void writeTranscriptEntry() const;

protected:
    TranscriptTrigger() = default;

    /// The console line that repeats the change, or empty when there is nothing to record.
    virtual std::wstring textCommandEntry() const;
};

} // namespace Brio
