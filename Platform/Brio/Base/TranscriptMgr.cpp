#include <Brio/Base/TranscriptMgr.h>

namespace Brio {

TranscriptMgr* TranscriptMgr::get() {
    static TranscriptMgr manager;
    return &manager;
}

bool TranscriptMgr::recording() const {
    std::lock_guard lock(m_mutex);
    return m_recording;
}

void TranscriptMgr::recording(bool on) {
    std::lock_guard lock(m_mutex);
    m_recording = on;
}

bool TranscriptMgr::recordCamera() const {
    std::lock_guard lock(m_mutex);
    return m_recordCamera;
}

void TranscriptMgr::recordCamera(bool on) {
    std::lock_guard lock(m_mutex);
    m_recordCamera = on;
}

void TranscriptMgr::write(const std::wstring& line) {
    std::lock_guard lock(m_mutex);
    if (m_recording && !line.empty())
        m_entries.push_back(line);
}

std::vector<std::wstring> TranscriptMgr::entries() const {
    std::lock_guard lock(m_mutex);
    return m_entries;
}

void TranscriptMgr::clear() {
    std::lock_guard lock(m_mutex);
    m_entries.clear();
}

} // namespace Brio
