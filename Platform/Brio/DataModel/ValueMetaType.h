#pragma once
#include <Brio/Base/StrongRef.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ZoGePoint3d;
class ZoGeVector3d;

namespace Brio {

class Color;
class Entity;
struct Float2;
struct Point3f;
struct Vector3f;

/// How the data model stores one type of member value: a name written beside each value and a
/// text form. Equal values give equal text, so that saving a loaded document reproduces it.
class ValueMetaType {
public:
    virtual ~ValueMetaType();
    ValueMetaType(const ValueMetaType&) = delete;
    ValueMetaType& operator=(const ValueMetaType&) = delete;

    /// "int32", "double", "Point3f[]"...
    const char* name() const { return m_name; }
    /// The value of the field at `field` as text.
    virtual std::string toText(const void* field) const = 0;
    /// Reads `text` into the field; false, leaving the field as it was, when the text is
    /// malformed.
    virtual bool fromText(std::string_view text, void* field) const = 0;

protected:
    explicit ValueMetaType(const char* name) : m_name(name) {}

private:
    const char* m_name;
};

/// Members holding lists of references to other entities. They are stored by entity
/// identity, which only the document can resolve, so they have no text form of their own.
class EntityReferenceListMetaType : public ValueMetaType {
public:
    std::string toText(const void*) const final { return {}; }
    bool fromText(std::string_view, void*) const final { return false; }

    virtual std::size_t count(const void* field) const = 0;
    virtual Entity* at(const void* field, std::size_t index) const = 0;
    virtual void clear(void* field) const = 0;
    /// Appends a reference (null is kept as an empty entry); false when `entity` is not of the
    /// list's class.
    virtual bool append(void* field, Entity* entity) const = 0;

protected:
    EntityReferenceListMetaType() : ValueMetaType("entityRefs") {}
};

/// The value meta type of a `std::vector<StrongRef<T>>` member, T an entity class.
template <class T> class EntityReferenceListOf final : public EntityReferenceListMetaType {
public:
    using List = std::vector<StrongRef<T>>;
    std::size_t count(const void* field) const override { return list(field).size(); }
    Entity* at(const void* field, std::size_t index) const override {
        return index < count(field) ? list(field)[index].getTarget() : nullptr;
    }
    void clear(void* field) const override { static_cast<List*>(field)->clear(); }
    bool append(void* field, Entity* entity) const override {
        T* target = nullptr;
        if (entity && !(target = dynamic_cast<T*>(entity)))
            return false;
        static_cast<List*>(field)->emplace_back(target);
        return true;
    }

private:
    static const List& list(const void* field) { return *static_cast<const List*>(field); }
};

/// ValueMetaTypeOf<T>::get(): the value meta type of members of type T. Intrinsic types,
/// colours, points, vectors, lists of those, and vectors of entity references are known.
template <class T> struct ValueMetaTypeOf;

template <> struct ValueMetaTypeOf<bool> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::int32_t> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::uint32_t> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::int64_t> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::uint64_t> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<float> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<double> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::wstring> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<Color> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<Float2> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<Point3f> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<Vector3f> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<ZoGePoint3d> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<ZoGeVector3d> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<std::int32_t>> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<std::uint32_t>> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<float>> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<double>> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<Color>> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<Float2>> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<Point3f>> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<Vector3f>> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<ZoGePoint3d>> { static const ValueMetaType* get(); };
template <> struct ValueMetaTypeOf<std::vector<ZoGeVector3d>> { static const ValueMetaType* get(); };

template <class T> struct ValueMetaTypeOf<std::vector<StrongRef<T>>> {
    static const ValueMetaType* get() {
        static const auto* type = new EntityReferenceListOf<T>; // never destroyed: see the single types
        return type;
    }
};

template <class T> const ValueMetaType* valueMetaType() {
    return ValueMetaTypeOf<T>::get();
}

} // namespace Brio
