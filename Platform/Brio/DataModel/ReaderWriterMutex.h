#pragma once
#include <cstdint>

namespace Brio {

/// Spinning reader/writer mutex for short, read-mostly sections such as member-set
/// initialisation: many readers, one writer, and a reader may ask to become the writer.
class ReaderWriterMutex {
public:
    ReaderWriterMutex();
    ~ReaderWriterMutex();
    ReaderWriterMutex(const ReaderWriterMutex&) = delete;
    ReaderWriterMutex& operator=(const ReaderWriterMutex&) = delete;

    /// Holds the mutex for the lifetime of the scope, as reader or writer.
    class ScopedLock {
    public:
        /// Holds nothing until acquire().
        ScopedLock();
        ScopedLock(ReaderWriterMutex& mutex, bool write);
        ~ScopedLock();
        ScopedLock(const ScopedLock&) = delete;
        ScopedLock& operator=(const ScopedLock&) = delete;

        void acquire(ReaderWriterMutex& mutex, bool write);
        /// Turns a reader into the writer. False when the lock had to be let go on the way,
        /// so that another writer may have run in between: re-test what was read.
        bool upgradeToWriter();
        void release();
        bool held() const { return m_held; }

    private:
        alignas(void*) unsigned char m_storage[2 * sizeof(void*)];
        bool m_held = false;
    };

private:
    alignas(std::intptr_t) unsigned char m_storage[sizeof(std::intptr_t)];
    friend class ScopedLock;
};

} // namespace Brio
