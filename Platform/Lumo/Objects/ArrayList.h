#pragma once
#include <Lumo/Objects/Lifetime.h>
#include <Lumo/Objects/ListBase.h>

#include <new>
#include <utility>
#include <vector>

namespace Lumo::Objects {

/// A contiguous list whose Lifetime policy decides what holding an element means.
/// Growing operations answer false, leaving the list unchanged, when memory is refused.
template <class T, class Lifetime = NoLifetime> class _ArrayList : public _ListBase {
public:
    _ArrayList() = default;
    explicit _ArrayList(int capacity) { Reserve(capacity); }
    _ArrayList(const _ArrayList& o) : _ListBase(), m_items(o.m_items) {
        for (const T& t : m_items)
            Lifetime::Acquire(t);
        m_count = o.m_count;
    }
    _ArrayList(_ArrayList&& o) noexcept : m_items(std::move(o.m_items)) { m_count = std::exchange(o.m_count, 0); }
    _ArrayList& operator=(const _ArrayList& o) {
        if (this != &o) {
            for (const T& t : o.m_items)
                Lifetime::Acquire(t); // before releasing: may share elements
            ReleaseAll();
            m_items = o.m_items;
            m_count = o.m_count;
        }
        return *this;
    }
    ~_ArrayList() { ReleaseAll(); }

    bool Reserve(int capacity) {
        try {
            if (capacity > 0)
                m_items.reserve(static_cast<std::size_t>(capacity));
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    int Capacity() const { return static_cast<int>(m_items.capacity()); }

    bool Add(const T& item) { return Insert(m_count, item); }
    bool Insert(int index, const T& item) {
        if (index < 0 || index > m_count)
            return false;
        try {
            m_items.insert(m_items.begin() + index, item);
        } catch (const std::bad_alloc&) {
            return false;
        }
        Lifetime::Acquire(m_items[index]); // not item: it may point into the old storage
        ++m_count;
        return true;
    }
    /// Removes and releases the element at index.
    void RemoveAt(int index) {
        if (index < 0 || index >= m_count)
            return;
        T item = std::move(m_items[index]);
        m_items.erase(m_items.begin() + index);
        --m_count;
        Lifetime::Release(item);
    }
    bool Remove(const T& item) {
        int i = IndexOf(item);
        if (i < 0)
            return false;
        RemoveAt(i);
        return true;
    }
    /// Puts item at index in place of the element there, which is released.
    void Set(int index, const T& item) {
        if (index < 0 || index >= m_count)
            return;
        Lifetime::Acquire(item);
        T old = m_items[index]; // a copy, not a move: item may be this very element
        m_items[index] = item;
        Lifetime::Release(old);
    }
    void Swap(int a, int b) { std::swap(m_items[a], m_items[b]); }
    int IndexOf(const T& item) const {
        for (int i = 0; i < m_count; ++i)
            if (m_items[i] == item)
                return i;
        return -1;
    }
    /// Releases the elements after the first count, keeping the storage for reuse.
    void Truncate(int count) {
        while (m_count > count && m_count > 0) {
            T item = std::move(m_items[m_count - 1]);
            m_items.pop_back();
            --m_count;
            Lifetime::Release(item);
        }
    }
    void Clear() {
        std::vector<T> old;
        old.swap(m_items); // releasing may re-enter this list's owner
        m_count = 0;
        for (const T& t : old)
            Lifetime::Release(t);
    }

    const T& operator[](int index) const { return m_items[index]; }
    const T& At(int index) const { return m_items[index]; }
    const T* begin() const { return m_items.data(); }
    const T* end() const { return m_items.data() + m_count; }

private:
    void ReleaseAll() {
        for (const T& t : m_items)
            Lifetime::Release(t);
        m_items.clear();
        m_count = 0;
    }
    std::vector<T> m_items;
};

} // namespace Lumo::Objects
