#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mutex.h>

#include <map>

namespace Lumo::Devices {

class VertexFormat;

/// A device's vertex formats, one shared format per layout.
class FormatCache {
public:
    FormatCache();
    ~FormatCache();
    FormatCache(const FormatCache&) = delete;
    FormatCache& operator=(const FormatCache&) = delete;

    /// The format of that layout (EVertexComponent bits; position is always added). The
    /// cache keeps it; no reference is added for the caller.
    VertexFormat* Acquire(unsigned components);
    int Count() const;
    void Clear();

private:
    mutable Lumo::Objects::Threads::Mutex m_mutex;
    std::map<unsigned, Lumo::Objects::AutoPtr<VertexFormat>> m_formats;
};

} // namespace Lumo::Devices
