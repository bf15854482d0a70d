#include <Scene/Attributes/TraversalState.h>

#include <Lumo/Objects/ClassRegistry.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/AttributeSetListEx.h>
#include <Scene/Attributes/DepthPriorityAttribute.h>
#include <Scene/Attributes/GroupAttribute.h>
#include <Scene/Attributes/OrderInTransparentGroupAttribute.h>
#include <Scene/Attributes/SelectabilityAttribute.h>
#include <Scene/Attributes/TransparentLayerAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Nodes/ANodeData.h>

#include <atomic>

namespace Lumo::Scene {

using Lumo::Objects::UString;

namespace {
std::atomic<float> g_pixelScaleFactor{1.0f};

// The pending list of every state with nothing pending: shared, never changed, made at load
// so that no walk allocates a list for the many nodes that pass nothing down.
AttributeSetListEx* const g_emptyPending = [] {
    AttributeSetListEx* list = AttributeSetListEx::Make();
    list->AddRef();
    return list;
}();

template <class T>
T* As(Attribute* a) {
    return a ? static_cast<T*>(a->GetInterface(T::StaticClassName())) : nullptr;
}
} // namespace

UString* TraversalState::StaticClassName() {
    static UString* name = Lumo::Objects::ClassRegistry::Register(
        Lumo::Objects::Intern(L"SceneTraversalState"), ClientTraversalState::StaticClassName());
    return name;
}
UString* TraversalState::ClassName() const { return StaticClassName(); }
void* TraversalState::GetInterface(UString* name) {
    return name == StaticClassName() ? this : ClientTraversalState::GetInterface(name);
}

TraversalState::TraversalState() : m_accumulated(kAttributeTypeCount), m_pending(g_emptyPending), m_ownsPending(false) {}

Lumo::Graphics::ClientTraversalState* TraversalState::Acquire() { return new TraversalState; }

Lumo::Graphics::ClientTraversalState* TraversalState::Clone() {
    auto* copy = new TraversalState;
    copy->Reset(this);
    return copy;
}

void TraversalState::Reset(ClientTraversalState* from) {
    if (from == this || !from)
        return;
    auto* other = static_cast<TraversalState*>(from->GetInterface(StaticClassName()));
    if (!other)
        return;
    m_accumulated = other->m_accumulated;
    m_pending = other->m_pending; // shared until one of us changes it
    m_ownsPending = false;
    m_skipNextMerge = other->m_skipNextMerge;
    m_visualStyle = other->m_visualStyle;
    m_doubleSided = other->m_doubleSided;
    m_isRefTwig = other->m_isRefTwig;
    m_colorCycling = other->m_colorCycling;
    m_cyclingColor = other->m_cyclingColor;
}

void TraversalState::Merge(ClientTraversalState& other) {
    if (auto* o = static_cast<TraversalState*>(other.GetInterface(StaticClassName())))
        m_accumulated.Merge(o->m_accumulated.Attributes());
}

void TraversalState::Clear() {
    m_accumulated.Clear();
    m_skipNextMerge = false;
    m_isRefTwig = false;
    m_colorCycling = false;
    m_visualStyle = 2;
    m_doubleSided = 0;
}

void TraversalState::Merge(Lumo::Graphics::ARenderNode* node, const AttributeSet* set) {
    if (m_skipNextMerge) {
        m_skipNextMerge = false;
        return;
    }
    if (set)
        m_accumulated.Merge(set->Attributes());

    Lumo::Objects::AutoPtr<AttributeSetListEx> inherited = std::move(m_pending);
    m_pending = g_emptyPending;
    m_ownsPending = false;
    auto addPending = [this](AttributeSet* s) {
        if (!m_ownsPending) {
            m_pending = AttributeSetListEx::Make();
            m_ownsPending = true;
        }
        m_pending->Add(s);
    };
    auto addChildren = [&addPending](const AttributeSet* s) {
        if (const AttributeSetList* children = s->Children())
            for (AttributeSet* c : *children)
                addPending(c);
    };
    if (set)
        addChildren(set);
    if (!inherited || inherited->Count() == 0)
        return;

    // Below a reference node, pending sets are matched against the shared target.
    Lumo::Graphics::ARenderNode* m = node;
    if (ANodeData* data = ANodeData::GetNodeData(node); data && data->NodeType() == eReferenceNode)
        m = data->Target();
    for (AttributeSet* s : inherited->List()) {
        switch (s->MatchNode(m)) {
        case eApplies:
            m_accumulated.Merge(s->Attributes());
            addChildren(s);
            break;
        case eCarryOn:
            addPending(s);
            break;
        case eNoMatch:
            break;
        }
    }
}

void TraversalState::MergeAttributes(const AttributeSet* set) {
    if (set)
        m_accumulated.Merge(set->Attributes());
}

void TraversalState::OwnPending() {
    if (m_ownsPending)
        return;
    m_pending = m_pending->Clone(); // the shared or inherited list stays as it was
    m_ownsPending = true;
}

void TraversalState::AddPendingAttributeSets(const AttributeSetListEx* list) {
    if (!list)
        return;
    OwnPending();
    for (AttributeSet* s : list->List())
        m_pending->Add(s);
}

void TraversalState::SortPendingAttributeSets() {
    OwnPending();
    AttributeSetEx::QSort(m_pending->List());
}

bool TraversalState::Visibility() const {
    auto* v = As<VisibilityAttribute>(GetAttribute(eVisibility));
    return v ? v->Visible() : true;
}

bool TraversalState::Selectability() const {
    if (auto* s = As<SelectabilityAttribute>(GetAttribute(eSelectability)))
        return s->Selectable();
    return Visibility();
}

int TraversalState::SelectionPriority() const {
    auto* s = As<SelectabilityAttribute>(GetAttribute(eSelectability));
    return s ? s->SelectionPriority() : 0;
}

SelectionQualifier* TraversalState::GetSelectionQualifier() const {
    auto* s = As<SelectabilityAttribute>(GetAttribute(eSelectability));
    return s ? s->Qualifier() : nullptr;
}

int TraversalState::DepthPriority() const {
    auto* d = As<DepthPriorityAttribute>(GetAttribute(eDepthPriority));
    return d ? d->DepthPriority() : 0;
}

int TraversalState::Group() const {
    auto* g = As<GroupAttribute>(GetAttribute(eGroup));
    return g ? g->Group() : -1;
}

int TraversalState::TransparentLayer() const {
    auto* t = As<TransparentLayerAttribute>(GetAttribute(eTransparentLayer));
    return t ? static_cast<int>(t->TransparentLayer()) : -1;
}

int TraversalState::OrderInTransparentGroup() const {
    auto* o = As<OrderInTransparentGroupAttribute>(GetAttribute(eOrderInTransparentGroup));
    return o ? o->Order() : -1;
}

float TraversalState::GlobalPixelScaleFactor() { return g_pixelScaleFactor.load(std::memory_order_relaxed); }
void TraversalState::GlobalPixelScaleFactor(float factor) {
    g_pixelScaleFactor.store(factor, std::memory_order_relaxed);
}

} // namespace Lumo::Scene
