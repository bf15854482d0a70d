#pragma once

namespace Brio {

class RefCounted;

/// Untyped counted reference to a RefCounted; StrongRef adds the typed interface.
class StrongRefBase {
public:
    StrongRefBase() noexcept = default;
    explicit StrongRefBase(RefCounted* target) noexcept;
    StrongRefBase(const StrongRefBase& other) noexcept;
    StrongRefBase(StrongRefBase&& other) noexcept;
    StrongRefBase& operator=(const StrongRefBase& other) noexcept;
    StrongRefBase& operator=(StrongRefBase&& other) noexcept;
    ~StrongRefBase();

    bool isNull() const noexcept { return m_target == nullptr; }
    explicit operator bool() const noexcept { return m_target != nullptr; }
    /// Drops the reference (the target may be deleted).
    void reset() noexcept;

    RefCounted* getBaseTarget() const noexcept { return m_target; }

    bool operator==(const StrongRefBase& other) const noexcept { return m_target == other.m_target; }

protected:
    /// Points at `target`, counting it before the old target is released (self-assignment safe).
    void assign(RefCounted* target) noexcept;

    RefCounted* m_target = nullptr;
};

} // namespace Brio
