#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace Brio {

/// The session transcript: text-command lines that repeat what the user did, written by
/// transcript triggers. Which kinds of change are recorded is chosen per kind.
class TranscriptMgr {
public:
    static TranscriptMgr* get();

    /// Whether anything is recorded (on by default).
    bool recording() const;
    void recording(bool on);
    /// Whether camera changes are recorded (off by default: they are many and seldom wanted).
    bool recordCamera() const;
    void recordCamera(bool on);

    /// Appends a line while recording; empty lines are not recorded.
    void write(const std::wstring& line);
    std::vector<std::wstring> entries() const;
    void clear();

private:
    TranscriptMgr() = default;

    mutable std::mutex m_mutex;
    bool m_recording = true;
    bool m_recordCamera = false;
    std::vector<std::wstring> m_entries;
};

} // namespace Brio
