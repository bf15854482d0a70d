#pragma once
#include <Scene/Attributes/AttributeSet.h>

namespace Lumo::Scene {

/// A counted, clonable list of attribute sets (the pending sets carried down a walk).
class AttributeSetListEx : public Lumo::Objects::ARefCounted, public NetObjectCountImpl<AttributeSetListEx> {
    LUMO_SCENE_CLASS(AttributeSetListEx)
public:
    AttributeSetListEx() = default;
    AttributeSetListEx(const AttributeSetListEx& other);
    static AttributeSetListEx* Make() { return new AttributeSetListEx; }
    AttributeSetListEx* Clone() const { return new AttributeSetListEx(*this); }

    AttributeSetList& List() { return m_list; }
    const AttributeSetList& List() const { return m_list; }
    int Count() const { return m_list.Count(); }
    AttributeSet* operator[](int index) const { return m_list[index]; }
    bool Add(AttributeSet* set) { return set && m_list.Add(set); }

private:
    AttributeSetList m_list;
};

} // namespace Lumo::Scene
