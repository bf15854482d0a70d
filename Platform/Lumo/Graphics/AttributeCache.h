#pragma once
#include <Lumo/Graphics/AttributeLODList.h>

#include <memory>
#include <vector>

namespace Lumo::Graphics {

/// The attribute LOD list nodes use: a few slots per node, searched linearly.
class AttributeCache : public AttributeLODList {
    LUMO_DECLARE_CLASS()
public:
    static AttributeCache* Make() { return new AttributeCache; }

    CachedObjectList* Container(Lumo::Objects::UString* dataId, Lumo::Objects::UString* styleId, int level,
                                bool create) override;
    bool Add(Lumo::Objects::UString* dataId, Lumo::Objects::UString* styleId, int level,
             Lumo::Objects::ARefCounted* object) override;
    void InvalidateInputData(Lumo::Objects::UString* dataId, Lumo::Objects::UString* styleId, int level) override;
    void InvalidateInputData(Lumo::Objects::UString* dataId, int level) override;
    void ClearIds(Lumo::Objects::UString* dataId, int level) override;
    void ClearAll() override;
    bool IsValid(Lumo::Objects::UString* dataId, Lumo::Objects::UString* styleId, int level) const override;
    int SlotCount() const override { return static_cast<int>(m_slots.size()); }

protected:
    AttributeCache() = default;

private:
    struct Slot {
        Lumo::Objects::UString* dataId;
        Lumo::Objects::UString* styleId;
        int level;
        bool valid;
        CachedObjectList objects;
    };
    Slot* Find(Lumo::Objects::UString* dataId, Lumo::Objects::UString* styleId, int level) const;
    std::vector<std::unique_ptr<Slot>> m_slots; // stable addresses: containers are handed out
};

} // namespace Lumo::Graphics
