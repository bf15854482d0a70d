#include <Lumo/Graphics/AttributeCache.h>

#include <algorithm>

namespace Lumo::Graphics {

using Lumo::Objects::UString;

LUMO_DEFINE_CLASS(AttributeLODList, ARefCounted)
LUMO_DEFINE_CLASS(AttributeCache, AttributeLODList)

UString* AttributeLODList::BaseDataID() {
    static UString* id = Lumo::Objects::Intern(L"BaseData");
    return id;
}

UString* AttributeLODList::UnstylizedID() {
    static UString* id = Lumo::Objects::Intern(L"Unstylized");
    return id;
}

AttributeCache::Slot* AttributeCache::Find(UString* dataId, UString* styleId, int level) const {
    for (const auto& s : m_slots)
        if (s->dataId == dataId && s->styleId == styleId && s->level == level)
            return s.get();
    return nullptr;
}

CachedObjectList* AttributeCache::Container(UString* dataId, UString* styleId, int level, bool create) {
    if (level < 0 || level >= kLevels)
        return nullptr;
    if (Slot* s = Find(dataId, styleId, level))
        return &s->objects;
    if (!create)
        return nullptr;
    m_slots.push_back(std::unique_ptr<Slot>(new Slot{dataId, styleId, level, false, {}}));
    return &m_slots.back()->objects;
}

bool AttributeCache::Add(UString* dataId, UString* styleId, int level, Lumo::Objects::ARefCounted* object) {
    CachedObjectList* list = Container(dataId, styleId, level, true);
    if (!list || !object)
        return false;
    Find(dataId, styleId, level)->valid = true;
    return list->Add(object);
}

void AttributeCache::InvalidateInputData(UString* dataId, UString* styleId, int level) {
    if (Slot* s = Find(dataId, styleId, level)) {
        s->valid = false;
        s->objects.Clear();
    }
}

void AttributeCache::InvalidateInputData(UString* dataId, int level) {
    for (const auto& s : m_slots)
        if (s->dataId == dataId && s->level == level) {
            s->valid = false;
            s->objects.Clear();
        }
}

void AttributeCache::ClearIds(UString* dataId, int level) {
    // Moved out first: releasing cached objects may call back into this node.
    std::vector<std::unique_ptr<Slot>> dropped;
    auto keep = std::stable_partition(m_slots.begin(), m_slots.end(),
                                      [&](const auto& s) { return !(s->dataId == dataId && s->level == level); });
    std::move(keep, m_slots.end(), std::back_inserter(dropped));
    m_slots.erase(keep, m_slots.end());
}

void AttributeCache::ClearAll() {
    std::vector<std::unique_ptr<Slot>> dropped;
    dropped.swap(m_slots);
}

bool AttributeCache::IsValid(UString* dataId, UString* styleId, int level) const {
    Slot* s = Find(dataId, styleId, level);
    return s && s->valid;
}

} // namespace Lumo::Graphics
