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

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Graphics/TransformHelper.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Scene/Attributes/BillBoardAttribute.h>
#include <Scene/Attributes/PixelScaleAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Nodes/TextNode.h>

#include <atomic>
#include <cmath>

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

namespace {
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;

mat4<float> Translate(const vec3<float>& t) { return mat4<float>::Translation(t); }

/// Rows x, y, z as the rotation and p as the translation.
mat4<float> Frame(const vec3<float>& x, const vec3<float>& y, const vec3<float>& z, const vec3<float>& p) {
    return mat4<float>(x.x, x.y, x.z, 0, y.x, y.y, y.z, 0, z.x, z.y, z.z, 0, p.x, p.y, p.z, 1);
}

vec3<double> D(const vec3<float>& v) { return {v.x, v.y, v.z}; }

mat4<double> D(const mat4<float>& m) {
    mat4<double> r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = m.m[i][j];
    return r;
}
} // namespace

bool TraversalState::GetAccumulatedTransform(const Lumo::Devices::ADrawContext* dc, mat4<float>& m,
                                             Lumo::Graphics::ARenderNode* node) const {
    bool complete = true;
    if (auto* t = As<TransformAttribute>(GetAttribute(eTransform)))
        m = t->Transform();

    bool mirrored = false, upsideDown = false;
    if (auto* b = As<BillBoardAttribute>(GetAttribute(eBillBoard))) {
        const vec3<float> anchor = b->Anchor();
        switch (b->Style()) {
        case BillBoardAttribute::eScreen:
            if (!dc) {
                complete = false;
                break;
            }
            {
                // Device view matrices are left-handed: flipping z gives the eye's own axes.
                mat4<float> v = dc->ViewMatrix(), inv;
                for (int r = 0; r < 4; ++r)
                    v.m[r][2] = -v.m[r][2];
                if (!v.Inverse(inv))
                    break;
                vec3<float> p = m.TransformPoint(anchor);
                m = Translate(-anchor) * Frame(inv.Row(0).xyz(), inv.Row(1).xyz(), inv.Row(2).xyz(), p);
            }
            break;
        case BillBoardAttribute::eAxial:
            if (!dc) {
                complete = false;
                break;
            }
            {
                const mat4<float>& v = dc->ViewMatrix();
                vec3<float> a = m.TransformVector(b->GetAxis()).Normalized();
                vec3<float> e = -vec3<float>(v.m[0][2], v.m[1][2], v.m[2][2]);
                vec3<float> s = a.Cross(e).Normalized();
                vec3<float> t = s.Cross(a).Normalized();
                vec3<float> p = m.TransformPoint(anchor);
                m = Translate(-anchor) * Frame(s, a, t, p);
            }
            break;
        case BillBoardAttribute::eRightReading: {
            if (!dc) {
                complete = false;
                break;
            }
            mat4<float> n = m * dc->ViewMatrix();
            mirrored = n.TransformVector({0, 0, 1}).z > 0;
            upsideDown = n.TransformVector({0, 1, 0}).y < 0;
            mat4<float> f;
            if (mirrored)
                f = mat4<float>::Scale(vec3<float>(-1, 1, -1));
            if (upsideDown)
                f = f * mat4<float>::Scale(vec3<float>(-1, -1, 1));
            m = Translate(-anchor) * f * Translate(anchor) * m;
            break;
        }
        default:
            break;
        }
    }

    if (auto* ps = As<PixelScaleAttribute>(GetAttribute(ePixelScale))) {
        if (!dc || dc->ViewportWidth() <= 0 || dc->ViewportHeight() <= 0) {
            complete = false;
        } else {
            // How far does one pixel reach at the scale centre? Step 100 pixels sideways on
            // screen and bring the point back into model space through the full projection.
            using Lumo::Graphics::TransformHelper;
            const vec3<double> c = D(ps->GetScaleCenter());
            mat4<double> toNdc = D(m) * TransformHelper::GetTransform(*dc, Lumo::Graphics::eWorldSpace,
                                                                        Lumo::Graphics::eNDCSpace);
            mat4<double> ndcToPixel =
                TransformHelper::GetTransform(*dc, Lumo::Graphics::eNDCSpace, Lumo::Graphics::eViewportSpace);
            mat4<double> fromNdc, pixelToNdc;
            if (toNdc.Inverse(fromNdc) && ndcToPixel.Inverse(pixelToNdc)) {
                vec3<double> r = ndcToPixel.TransformPoint(toNdc.TransformPoint(c));
                r.x += 100.0;
                vec3<double> back = fromNdc.TransformPoint(pixelToNdc.TransformPoint(r));
                double d = (back - c).Length() / 100.0;
                float s = float(ps->GetScreenSpaceSize() / (ps->GetModelSpaceSize() / d)) * GlobalPixelScaleFactor();
                if (s != 0.0f && std::isfinite(s)) {
                    vec3<float> cf = ps->GetScaleCenter();
                    m = Translate(-cf) * mat4<float>::Scale(s) * Translate(cf) * m;
                }
            }
        }
    }

    if (auto* text = node ? static_cast<TextNode*>(node->GetInterface(TextNode::StaticClassName())) : nullptr) {
        Lumo::Objects::vec2<float> uv = text->Anchor();
        Lumo::Objects::SBox3 box = text->WorldBox();
        double u = uv.x, v = uv.y;
        if (mirrored != upsideDown)
            u = 1.0 - u;
        if (upsideDown)
            v = 1.0 - v;
        if (!box.IsEmpty()) {
            vec3<float> p(float((1 - u) * box.Min().x + u * box.Max().x), float((1 - v) * box.Min().y + v * box.Max().y),
                          float(box.Min().z));
            m = Translate(-p) * m;
        }
    }
    return complete;
}

void TraversalState::UpdateTransform(const Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                                     Lumo::Graphics::ARenderNode* node) {
    mat4<float> m;
    GetAccumulatedTransform(&dc, m, node);
    if (HasAttribute(eBillBoard) || HasAttribute(ePixelScale)) {
        Attribute* old = GetAttribute(eTransform);
        bool winTies = old && old->WinTies();
        unsigned char priority = old ? static_cast<unsigned char>(old->Priority()) : 0;
        m_accumulated.RemoveAttribute(eBillBoard);
        m_accumulated.RemoveAttribute(ePixelScale);
        Lumo::Objects::AutoPtr<Attribute> t = TransformAttribute::Make(m, false, winTies, priority);
        m_accumulated.SetAttribute(t);
    }
    Lumo::Objects::ADevMatrix* world = graphicsState.WorldMatrix();
    if (world ? world->Matrix() == m : m.IsIdentity())
        return;
    Lumo::Objects::AutoPtr<Lumo::Objects::SharedMatrix> made = Lumo::Objects::SharedMatrix::Make(m);
    graphicsState.WorldMatrix(made);
}

float TraversalState::GlobalPixelScaleFactor() { return g_pixelScaleFactor.load(std::memory_order_relaxed); }
void TraversalState::GlobalPixelScaleFactor(float factor) {
    g_pixelScaleFactor.store(factor, std::memory_order_relaxed);
}

} // namespace Lumo::Scene
