#include <Brio/Base/RefCounted.h>

namespace Brio {

RefCounted::~RefCounted() = default;

int RefCounted::addRef() noexcept {
    return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

int RefCounted::release() noexcept {
    // acq_rel: the deleting thread must see every write made by the other holders.
    const int remaining = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (remaining == 0)
        delete this;
    return remaining;
}

} // namespace Brio
