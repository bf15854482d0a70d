#include <Brio/Base/StrongRefBase.h>

#include <Brio/Base/RefCounted.h>

#include <utility>

namespace Brio {

StrongRefBase::StrongRefBase(RefCounted* target) noexcept : m_target(target) {
    if (m_target)
        m_target->addRef();
}

StrongRefBase::StrongRefBase(const StrongRefBase& other) noexcept : StrongRefBase(other.m_target) {}

StrongRefBase::StrongRefBase(StrongRefBase&& other) noexcept : m_target(std::exchange(other.m_target, nullptr)) {}

StrongRefBase& StrongRefBase::operator=(const StrongRefBase& other) noexcept {
    assign(other.m_target);
    return *this;
}

StrongRefBase& StrongRefBase::operator=(StrongRefBase&& other) noexcept {
    if (this != &other) {
        RefCounted* old = std::exchange(m_target, std::exchange(other.m_target, nullptr));
        if (old)
            old->release();
    }
    return *this;
}

StrongRefBase::~StrongRefBase() {
    reset();
}

void StrongRefBase::reset() noexcept {
    if (RefCounted* old = std::exchange(m_target, nullptr))
        old->release();
}

void StrongRefBase::assign(RefCounted* target) noexcept {
    if (target)
        target->addRef();
    RefCounted* old = std::exchange(m_target, target);
    if (old)
        old->release();
}

} // namespace Brio
