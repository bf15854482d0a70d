#include <Brio/DataModel/ReaderWriterMutex.h>

#include <tbb/spin_rw_mutex.h>

#include <new>

namespace Brio {

using TbbMutex = tbb::spin_rw_mutex;
using TbbLock = tbb::spin_rw_mutex::scoped_lock;

// The header reserves room for the TBB objects so that it need not include TBB.
static_assert(sizeof(TbbMutex) <= sizeof(std::intptr_t) && alignof(TbbMutex) <= alignof(std::intptr_t));
static_assert(sizeof(TbbLock) <= 2 * sizeof(void*) && alignof(TbbLock) <= alignof(void*));

namespace {
TbbMutex& tbbMutex(unsigned char* storage) {
    return *std::launder(reinterpret_cast<TbbMutex*>(storage));
}
TbbLock& tbbLock(unsigned char* storage) {
    return *std::launder(reinterpret_cast<TbbLock*>(storage));
}
} // namespace

ReaderWriterMutex::ReaderWriterMutex() {
    new (m_storage) TbbMutex();
}

ReaderWriterMutex::~ReaderWriterMutex() {
    tbbMutex(m_storage).~TbbMutex();
}

ReaderWriterMutex::ScopedLock::ScopedLock() {
    new (m_storage) TbbLock();
}

ReaderWriterMutex::ScopedLock::ScopedLock(ReaderWriterMutex& mutex, bool write) : ScopedLock() {
    acquire(mutex, write);
}

ReaderWriterMutex::ScopedLock::~ScopedLock() {
    // The TBB lock releases what it holds.
    tbbLock(m_storage).~TbbLock();
}

void ReaderWriterMutex::ScopedLock::acquire(ReaderWriterMutex& mutex, bool write) {
    release();
    tbbLock(m_storage).acquire(tbbMutex(mutex.m_storage), write);
    m_held = true;
}

bool ReaderWriterMutex::ScopedLock::upgradeToWriter() {
    if (!m_held)
        return false;
    return tbbLock(m_storage).upgrade_to_writer();
}

void ReaderWriterMutex::ScopedLock::release() {
    if (m_held) {
        tbbLock(m_storage).release();
        m_held = false;
    }
}

} // namespace Brio
