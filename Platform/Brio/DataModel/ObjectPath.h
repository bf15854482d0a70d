#pragma once
#include <Brio/Base/StrongRef.h>
#include <Brio/DataModel/Object.h>

#include <cstdint>
#include <vector>

namespace Brio {

/// A path of host model objects from the outermost to the picked one, with the client type
/// and qualifier of what was picked inside the leaf (a face, an edge...).
class ObjectPath {
public:
    ObjectPath() = default;

    void reserve(std::size_t n) { m_objects.reserve(n); }
    bool empty() const { return m_objects.empty(); }
    std::size_t size() const { return m_objects.size(); }
    Object* operator[](std::size_t i) const { return i < m_objects.size() ? m_objects[i].getTarget() : nullptr; }
    Object* leaf() const { return empty() ? nullptr : m_objects.back().getTarget(); }

    void push(Object* object);
    /// Puts object, or every object of a path, in front.
    void pushFront(Object* object);
    void pushFront(const ObjectPath& path);
    /// Removes the leaf object (the leaf client type and qualifier stay as they are).
    void pop();

    std::uint32_t leafClientType() const { return m_leafClientType; }
    void leafClientType(std::uint32_t type) { m_leafClientType = type; }
    std::uint64_t leafQualifier() const { return m_leafQualifier; }
    void leafQualifier(std::uint64_t q) { m_leafQualifier = q; }

    /// A path whose leaf client type is one of the registered qualified kinds: its leaf
    /// sub-object can be popped to reach the object that owns it.
    bool isQualifiedAndPoppable() const;
    static void addQualifiedAndPoppableClientType(std::uint32_t type);

    bool operator==(const ObjectPath& other) const;
    bool operator!=(const ObjectPath& other) const { return !(*this == other); }

private:
    std::vector<StrongRef<Object>> m_objects;
    std::uint32_t m_leafClientType = 0;
    std::uint64_t m_leafQualifier = 0;
};

} // namespace Brio
