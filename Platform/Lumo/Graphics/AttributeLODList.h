#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ArrayList.h>
#include <Lumo/Objects/ClassMacros.h>

namespace Lumo::Graphics {

/// Objects cached in one slot of an attribute LOD list, one reference each.
using CachedObjectList = Lumo::Objects::_ArrayList<Lumo::Objects::ARefCounted*, Lumo::Objects::RefCountedLifetime>;

/// Per-node cache of data derived for drawing (geometry, text effects...), keyed by a data id,
/// a style id and a level of detail (0 to 15). Each slot holds a list of objects and an
/// input-valid flag that invalidation clears.
class AttributeLODList : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static constexpr int kLevels = 16;

    /// The id of the node's own geometry.
    static Lumo::Objects::UString* BaseDataID();
    /// The style id used when no style is given.
    static Lumo::Objects::UString* UnstylizedID();

    /// The slot's objects, or null when the slot does not exist and create is false.
    virtual CachedObjectList* Container(Lumo::Objects::UString* dataId, Lumo::Objects::UString* styleId, int level,
                                        bool create) = 0;
    /// Appends an object to the slot (made when missing) and marks its input valid.
    virtual bool Add(Lumo::Objects::UString* dataId, Lumo::Objects::UString* styleId, int level,
                     Lumo::Objects::ARefCounted* object) = 0;
    /// Marks the slot's input data stale and empties it.
    virtual void InvalidateInputData(Lumo::Objects::UString* dataId, Lumo::Objects::UString* styleId, int level) = 0;
    /// Invalidates every style of the data id at the level.
    virtual void InvalidateInputData(Lumo::Objects::UString* dataId, int level) = 0;
    /// Drops every style slot of the data id at the level.
    virtual void ClearIds(Lumo::Objects::UString* dataId, int level) = 0;
    /// Drops everything cached.
    virtual void ClearAll() = 0;
    virtual bool IsValid(Lumo::Objects::UString* dataId, Lumo::Objects::UString* styleId, int level) const = 0;
    virtual int SlotCount() const = 0;

protected:
    AttributeLODList() = default;
};

} // namespace Lumo::Graphics
