#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/TypeSpecificAttributeSet.h>

#include <Lumo/Objects/AutoPtr.h>

namespace Lumo::Scene {

using Lumo::Objects::AutoPtr;

LUMO_DEFINE_CLASS(AttributeSetEx, AttributeSet)

namespace {
bool IsEmptySet(const AttributeSet* set) {
    const AttributeSetList* children = set->Children();
    return set->Attributes().IsEmpty() && (!children || children->IsEmpty());
}
} // namespace

AttributeSetEx::AttributeSetEx(Lumo::Graphics::ARenderNode* node, std::uint32_t appendTypes, int capacity)
    : AttributeSet(node, appendTypes, capacity) {}

AttributeSetEx::AttributeSetEx(const AttributeSetEx& other)
    : AttributeSet(other), NetObjectCountImpl<AttributeSetEx>(other), m_children(other.m_children) {}

AttributeSetEx* AttributeSetEx::Make(Lumo::Graphics::ARenderNode* node, std::uint32_t appendTypes, int capacity) {
    return new AttributeSetEx(node, appendTypes, capacity);
}

AttributeSetEx* AttributeSetEx::Clone() const {
    return new AttributeSetEx(*this);
}

AttributeSetEx& AttributeSetEx::operator=(const AttributeSetEx& other) {
    AttributeSet::operator=(other);
    m_children = other.m_children;
    return *this;
}

bool AttributeSetEx::AddAttributeSet(AttributeSet* set) {
    return set && m_children.Add(set);
}

void AttributeSetEx::RemoveAllAttributes() {
    AttributeSet::RemoveAllAttributes();
    m_children.Clear();
}

void AttributeSetEx::MergeChange(const AttributeSet& change, bool keepRemoves) {
    AttributeSet::MergeChange(change, keepRemoves);
    if (change.AllRemoved())
        m_children.Clear();
    const AttributeSetList* changeChildren = change.Children();
    if (!changeChildren || changeChildren->IsEmpty())
        return;
    // By index, re-reading the count: a set merged into itself sees its own list grow.
    for (int i = 0; i < changeChildren->Count(); ++i) {
        AttributeSet* c = (*changeChildren)[i];
        if (!c->RenderNode()) {
            if (c->ApplyTypes() == 0)
                continue;
            if (AttributeSet* s = GetAttributeSet(c->ApplyTypes(), c->AppendTypes(), true))
                s->MergeChange(*c, keepRemoves);
            else
                MergeWildClientType(c, keepRemoves);
        } else if (AttributeSet* s = GetAttributeSet(c->RenderNode(), c->AppendTypes(), false)) {
            s->MergeChange(*c, keepRemoves);
        } else {
            AddAttributeSet(c);
        }
    }
    if (!keepRemoves)
        for (int i = m_children.Count() - 1; i >= 0; --i)
            RemoveChildIfEmpty(i);
}

AttributeSet* AttributeSetEx::GetAttributeSet(std::uint32_t applyTypes, std::uint32_t appendTypes, bool create) {
    bool overlap = false;
    for (AttributeSet* child : m_children) {
        if (child->AppendTypes() != appendTypes)
            continue;
        std::uint32_t apply = child->ApplyTypes();
        if (apply == applyTypes)
            return child;
        if (apply & applyTypes)
            overlap = true;
    }
    if (!create || overlap)
        return nullptr;
    AutoPtr<AttributeSet> made = TypeSpecificAttributeSet::Make(applyTypes, appendTypes, 0);
    return AddAttributeSet(made) ? made.get() : nullptr;
}

AttributeSet* AttributeSetEx::GetAttributeSet(Lumo::Graphics::ARenderNode* node, std::uint32_t appendTypes,
                                              bool create) {
    for (AttributeSet* child : m_children)
        if (child->RenderNode() == node && child->AppendTypes() == appendTypes)
            return child;
    if (!create)
        return nullptr;
    AutoPtr<AttributeSet> made = AttributeSetEx::Make(node, appendTypes, 0);
    return AddAttributeSet(made) ? made.get() : nullptr;
}

bool AttributeSetEx::RemoveChildIfEmpty(int index) {
    if (index < 0 || index >= m_children.Count() || !IsEmptySet(m_children[index]))
        return false;
    m_children.RemoveAt(index);
    return true;
}

void AttributeSetEx::MergeWildClientType(AttributeSet* change, bool keepRemoves) {
    if (!change)
        return;
    std::uint32_t w = change->ApplyTypes();
    const std::uint32_t a = change->AppendTypes();
    const int existing = m_children.Count(); // children appended below are already merged
    for (int i = 0; i < existing && w; ++i) {
        AttributeSet* s = m_children[i];
        if (s->AppendTypes() == 0)
            break;
        if (s->AppendTypes() != a)
            continue;
        std::uint32_t t = s->ApplyTypes();
        std::uint32_t o = t & w;
        if (!o)
            continue;
        if (t & ~o) {
            s->ApplyTypes(t & ~o);
            AutoPtr<AttributeSet> n = TypeSpecificAttributeSet::MakeCopy(*s, o);
            n->MergeChange(*change, keepRemoves);
            AddAttributeSet(n);
        } else {
            // Every client type of s is named by the change: merge in place. A copy would
            // leave s applying stale values to those types and grow the children per merge.
            s->MergeChange(*change, keepRemoves);
        }
        w &= ~o;
    }
    if (w) {
        AutoPtr<AttributeSet> n = TypeSpecificAttributeSet::MakeCopy(*change, w);
        if (!keepRemoves)
            n->ClearRemoved(); // as a child made empty and merged would end up
        AddAttributeSet(n);
    }
}

void AttributeSetEx::QSort(AttributeSetList& list) {
    int front = 0;
    for (int i = 0; i < list.Count(); ++i) {
        if (list[i]->ApplyTypes() != 0) {
            if (i != front)
                list.Swap(i, front);
            ++front;
        }
    }
}

} // namespace Lumo::Scene
