#include <Scene/Attributes/TraversalState.h>
#include <Scene/Foundations/AddInStaticInternal.h>

#include <Lumo/Objects/ClassRegistry.h>
#include <Scene/Attributes/AttributeSet.h>
#include <Scene/Attributes/AttributeSetEx.h>
#include <Scene/Attributes/AttributeSetListEx.h>
#include <Scene/Attributes/CurvatureMapAttribute.h>
#include <Scene/Attributes/DepthPriorityAttribute.h>
#include <Scene/Attributes/GroupAttribute.h>
#include <Scene/Attributes/LineStyleAttribute.h>
#include <Scene/Attributes/OrderInTransparentGroupAttribute.h>
#include <Scene/Attributes/SelectabilityAttribute.h>
#include <Scene/Attributes/TransparentLayerAttribute.h>
#include <Scene/Attributes/TwoSidedFaceEffectAttribute.h>
#include <Scene/Attributes/VisibilityAttribute.h>
#include <Scene/Nodes/ANodeData.h>

#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Devices/DeviceCaches.h>
#include <Lumo/Devices/EffectCache.h>
#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Devices/IRenderGeom.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>
#include <Lumo/Graphics/APrimitiveNode.h>
#include <Lumo/Graphics/AttributeLODList.h>
#include <Lumo/Graphics/GeometryNode.h>
#include <Lumo/Graphics/TransformHelper.h>
#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/WalkPool.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Scene/Attributes/AmbraEffectAttribute.h>
#include <Scene/Attributes/AnalysisEffects.h>
#include <Scene/Attributes/BillBoardAttribute.h>
#include <Scene/Attributes/ColorEffectAttribute.h>
#include <Scene/Attributes/ColorHintAttribute.h>
#include <Scene/Attributes/CullModeAttribute.h>
#include <Scene/Attributes/EffectAttribute.h>
#include <Scene/Attributes/EffectVariantCache.h>
#include <Scene/Attributes/ObjectIDAttribute.h>
#include <Scene/Attributes/OccludedEffectAttribute.h>
#include <Scene/Attributes/OpacityAttribute.h>
#include <Scene/Attributes/PixelScaleAttribute.h>
#include <Scene/Attributes/TextureEffectAttribute.h>
#include <Scene/Attributes/TransformAttribute.h>
#include <Scene/Attributes/VisualAnalysisAttribute.h>
#include <Scene/Nodes/LODGeometryNode.h>
#include <Scene/Nodes/TextNode.h>

#include <atomic>
#include <cmath>

namespace Lumo::Scene {

using Lumo::Objects::QueryInterface;
using Lumo::Objects::UString;

namespace {
std::atomic<float> g_pixelScaleFactor{1.0f};
std::atomic<bool> g_normalDoubleSide{false};

// The pending list of every state with nothing pending: shared, never changed, made at load
// so that no walk allocates a list for the many nodes that pass nothing down.
const Brio::Scene::AddInStatic<Lumo::Objects::AutoPtr<AttributeSetListEx>>
    g_emptyPendingHolder(AttributeSetListEx::Make());
AttributeSetListEx* const g_emptyPending = g_emptyPendingHolder->get();

} // namespace

UString* TraversalState::StaticClassName() {
    static UString* name = Lumo::Objects::ClassRegistry::Register(Lumo::Objects::Intern(L"SceneTraversalState"),
                                                                  ClientTraversalState::StaticClassName());
    return name;
}
UString* TraversalState::ClassName() const {
    return StaticClassName();
}
void* TraversalState::GetInterface(UString* name) {
    return name == StaticClassName() ? this : ClientTraversalState::GetInterface(name);
}

TraversalState::TraversalState()
    : m_accumulated(kAttributeTypeCount), m_pending(g_emptyPending), m_ownsPending(false) {}

Lumo::Graphics::ClientTraversalState* TraversalState::Acquire() {
    return new TraversalState;
}

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
            m_pending = NewPending();
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

void TraversalState::Merge(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState& graphicsState,
                           const AttributeSet* set) {
    Merge(graphicsState.RenderNode(), set);
}

void TraversalState::MergeAttributes(const AttributeSet* set) {
    if (set)
        m_accumulated.Merge(set->Attributes());
}

AttributeSetListEx* TraversalState::NewPending() {
    // A list this state made for an earlier node, once no state below shares it any more: a
    // walk then makes pending lists only where it reaches deeper than it did before.
    for (Lumo::Objects::AutoPtr<AttributeSetListEx>& spare : m_spares)
        if (spare && spare->RefCount() == 1) {
            AttributeSetList& list = spare->List();
            while (list.Count() > 0)
                list.RemoveAt(list.Count() - 1); // keeps the storage
            return spare;
        }
    // Both still shared: replace the older one (its sharers keep it).
    Lumo::Objects::AutoPtr<AttributeSetListEx>& slot = m_spares[m_nextSpare];
    m_nextSpare = 1 - m_nextSpare;
    slot = AttributeSetListEx::Make();
    return slot;
}

void TraversalState::OwnPending() {
    if (m_ownsPending)
        return;
    // A copy: the shared or inherited list stays as it was.
    Lumo::Objects::AutoPtr<AttributeSetListEx> shared = m_pending;
    m_pending = NewPending();
    for (AttributeSet* s : shared->List())
        m_pending->Add(s);
    m_ownsPending = true;
}

void TraversalState::AddPendingAttributeSets(const AttributeSetListEx* list) {
    if (list)
        AddPendingAttributeSets(list->List());
}

void TraversalState::AddPendingAttributeSets(const AttributeSetList& sets) {
    if (sets.Count() == 0)
        return;
    OwnPending();
    for (AttributeSet* s : sets)
        m_pending->Add(s);
}

void TraversalState::SortPendingAttributeSets() {
    // Most nodes inherit a list that is already in order: do not copy it just to sort it.
    bool seenUntyped = false, sorted = true;
    for (AttributeSet* s : m_pending->List()) {
        bool typed = s->ApplyTypes() != 0;
        if (typed && seenUntyped) {
            sorted = false;
            break;
        }
        seenUntyped |= !typed;
    }
    if (sorted)
        return;
    OwnPending();
    AttributeSetEx::QSort(m_pending->List());
}

bool TraversalState::Visibility() const {
    auto* v = QueryInterface<VisibilityAttribute>(GetAttribute(eVisibility));
    return v ? v->Visible() : true;
}

bool TraversalState::Selectability() const {
    if (auto* s = QueryInterface<SelectabilityAttribute>(GetAttribute(eSelectability)))
        return s->Selectable();
    return Visibility();
}

int TraversalState::SelectionPriority() const {
    auto* s = QueryInterface<SelectabilityAttribute>(GetAttribute(eSelectability));
    return s ? s->SelectionPriority() : 0;
}

SelectionQualifier* TraversalState::GetSelectionQualifier() const {
    auto* s = QueryInterface<SelectabilityAttribute>(GetAttribute(eSelectability));
    return s ? s->Qualifier() : nullptr;
}

Lumo::Devices::AFragment* TraversalState::GetStyleGraph() const {
    auto* l = QueryInterface<LineStyleAttribute>(GetAttribute(eLineStyle));
    return l ? l->GetStyleGraph() : nullptr;
}

bool TraversalState::GetCurvatureMapEffect() const {
    return QueryInterface<CurvatureMapAttribute>(GetAttribute(eEffect)) != nullptr;
}

bool TraversalState::IsHighQualityVisualAnalysis() const {
    Attribute* effect = GetAttribute(eEffect);
    if (auto* two = QueryInterface<TwoSidedFaceEffectAttribute>(effect))
        effect = two->FrontFaceEffectAttribute();
    auto* analysis = QueryInterface<VisualAnalysisAttribute>(effect);
    return analysis && analysis->GetHighQuality();
}

int TraversalState::DepthPriority() const {
    auto* d = QueryInterface<DepthPriorityAttribute>(GetAttribute(eDepthPriority));
    return d ? d->DepthPriority() : 0;
}

int TraversalState::Group() const {
    auto* g = QueryInterface<GroupAttribute>(GetAttribute(eGroup));
    return g ? g->Group() : -1;
}

int TraversalState::TransparentLayer() const {
    auto* t = QueryInterface<TransparentLayerAttribute>(GetAttribute(eTransparentLayer));
    return t ? static_cast<int>(t->TransparentLayer()) : -1;
}

int TraversalState::OrderInTransparentGroup() const {
    auto* o = QueryInterface<OrderInTransparentGroupAttribute>(GetAttribute(eOrderInTransparentGroup));
    return o ? o->Order() : -1;
}

namespace {
using Lumo::Objects::mat4;
using Lumo::Objects::vec3;

mat4<float> Translate(const vec3<float>& t) {
    return mat4<float>::Translation(t);
}

/// Rows x, y, z as the rotation and p as the translation.
mat4<float> Frame(const vec3<float>& x, const vec3<float>& y, const vec3<float>& z, const vec3<float>& p) {
    return mat4<float>(x.x, x.y, x.z, 0, y.x, y.y, y.z, 0, z.x, z.y, z.z, 0, p.x, p.y, p.z, 1);
}

vec3<double> D(const vec3<float>& v) {
    return {v.x, v.y, v.z};
}

} // namespace

bool TraversalState::GetAccumulatedTransform(const Lumo::Devices::ADrawContext* dc, mat4<float>& m,
                                             Lumo::Graphics::ARenderNode* node) const {
    bool complete = true;
    if (auto* t = QueryInterface<TransformAttribute>(GetAttribute(eTransform)))
        m = t->Transform();

    bool mirrored = false, upsideDown = false;
    if (auto* b = QueryInterface<BillBoardAttribute>(GetAttribute(eBillBoard))) {
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

    if (auto* ps = QueryInterface<PixelScaleAttribute>(GetAttribute(ePixelScale))) {
        if (!dc || dc->ViewportWidth() <= 0 || dc->ViewportHeight() <= 0) {
            complete = false;
        } else {
            // How far does one pixel reach at the scale centre? Step 100 pixels sideways on
            // screen and bring the point back into model space through the full projection.
            using Lumo::Graphics::TransformHelper;
            const vec3<double> c = D(ps->GetScaleCenter());
            mat4<double> toNdc = m.Cast<double>() * TransformHelper::GetTransform(*dc, Lumo::Graphics::eWorldSpace,
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
            vec3<float> p(float((1 - u) * box.Min().x + u * box.Max().x),
                          float((1 - v) * box.Min().y + v * box.Max().y), float(box.Min().z));
            m = Translate(-p) * m;
        }
    }
    return complete;
}

bool TraversalState::GetAccumulatedTransform(const Lumo::Devices::ADrawContext* dc, Lumo::Objects::SharedMatrix& m,
                                             Lumo::Graphics::ARenderNode* node) const {
    mat4<float> value = m.Matrix();
    bool complete = GetAccumulatedTransform(dc, value, node);
    m.Matrix(value);
    return complete;
}

void TraversalState::UpdateTransform(const Lumo::Devices::ADrawContext& dc,
                                     Lumo::Graphics::TraversalState& graphicsState, Lumo::Graphics::ARenderNode* node) {
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
    // Last walk's matrix at this point when it is the same: an unchanged frame allocates none.
    Lumo::Objects::AutoPtr<Lumo::Objects::ADevMatrix> placed =
        Lumo::Graphics::WalkPool::Matrix(graphicsState.Pool(), m);
    graphicsState.WorldMatrix(placed);
}

namespace {
using Lumo::Devices::EffectInstance;
using Lumo::Objects::AutoPtr;

/// The opacity parameter of a zebra, draft or curvature instance; -1 for other kinds.
int AnalysisOpacityIndex(const EffectInstance* e) {
    UString* name = e->Effect() ? e->Effect()->Name() : nullptr;
    if (!name)
        return -1;
    if (name == AnalysisEffects::ZebraName())
        return AnalysisEffects::eZebraOpacity;
    if (name == AnalysisEffects::DraftName())
        return AnalysisEffects::eDraftOpacity;
    if (name == AnalysisEffects::CurvatureName())
        return AnalysisEffects::eCurvatureOpacity;
    return -1;
}

AutoPtr<EffectInstance> TransparentVariant(Lumo::Devices::ADrawContext& dc, EffectInstance* e, float o, bool absolute);

/// What TransparentVariant answers, made anew.
AutoPtr<EffectInstance> MakeTransparentVariant(Lumo::Devices::ADrawContext& dc, EffectInstance* e, float o,
                                               bool absolute) {
    if (auto* solid = QueryInterface<Lumo::Devices::SolidEffectInstance>(e)) {
        AutoPtr<Lumo::Devices::SolidEffectInstance> c =
            static_cast<Lumo::Devices::SolidEffectInstance*>(solid->Clone());
        c->Opacity(absolute ? o : solid->Opacity() * o);
        if (c->ColorSource() == Lumo::Devices::StockEffects::eColorVertex)
            c->VertexColorAlphaFlag(false);
        return AutoPtr<EffectInstance>(c.get());
    }
    if (auto* material = QueryInterface<Lumo::Devices::BasicMaterialEffectInstance>(e)) {
        AutoPtr<Lumo::Devices::BasicMaterialEffectInstance> c =
            static_cast<Lumo::Devices::BasicMaterialEffectInstance*>(material->Clone());
        c->Opacity(absolute ? o : material->Opacity() * o);
        return AutoPtr<EffectInstance>(c.get());
    }
    if (const int index = AnalysisOpacityIndex(e); index >= 0) {
        // Analysis instances fade through their own opacity, like materials; they are plain
        // instances here, so the mark is what tells the renderer to blend them.
        AutoPtr<EffectInstance> c = e->Clone();
        const float opacity = absolute ? o : e->Values().GetFloat(index, 1.0f) * o;
        c->Values().SetFloat(index, opacity);
        c->Transparent(opacity < 1.0f);
        return c;
    }
    if (auto* layered = QueryInterface<Lumo::Devices::LayeredEffectInstance>(e)) {
        AutoPtr<Lumo::Devices::LayeredEffectInstance> l =
            Lumo::Devices::LayeredEffectInstance::Make(dc.VirtualDevice());
        if (!l)
            return AutoPtr<EffectInstance>(e);
        l->Transparent(true);
        for (int i = 0; i < layered->LayerCount(); ++i)
            l->AddLayer(TransparentVariant(dc, layered->Layer(i), o, absolute));
        return AutoPtr<EffectInstance>(l.get());
    }
    AutoPtr<EffectInstance> c = e->Clone();
    c->Transparent(true);
    AutoPtr<Lumo::Devices::ABlendState> blend = Lumo::Devices::ABlendState::Make();
    blend->BlendFactor({o, o, o, o});
    blend->Blend(0, Lumo::Devices::eBlendFactor, Lumo::Devices::eBlendInvFactor);
    c->OverrideState(blend.get());
    return c;
}

/// The variant's key: the base, the device (layered variants are built on it), the kind and
/// what it depends on.
EffectVariantCache::Key VariantKey(Lumo::Devices::ADrawContext& dc, EffectInstance* e, EffectVariantCache::EKind kind,
                                   unsigned flags, float value) {
    EffectVariantCache::Key key;
    key.base = e;
    key.device = dc.VirtualDevice();
    key.kind = kind;
    key.flags = flags;
    key.values[0] = value;
    return key;
}

/// E drawn at opacity o: relative (times its own) unless absolute. The same E, o and flag
/// answer the same shared instance every frame.
AutoPtr<EffectInstance> TransparentVariant(Lumo::Devices::ADrawContext& dc, EffectInstance* e, float o, bool absolute) {
    const EffectVariantCache::Key key = VariantKey(dc, e, EffectVariantCache::eTransparent, absolute ? 1u : 0u, o);
    if (AutoPtr<EffectInstance> found = EffectVariantCache::Find(key))
        return found;
    AutoPtr<EffectInstance> made = MakeTransparentVariant(dc, e, o, absolute);
    if (made.get() == e)
        return made; // no device for a layered one: E is drawn as it is
    return EffectVariantCache::Offer(key, made);
}

float OpacityOf(EffectInstance* e) {
    if (auto* solid = QueryInterface<Lumo::Devices::SolidEffectInstance>(e))
        return solid->Opacity();
    if (auto* material = QueryInterface<Lumo::Devices::BasicMaterialEffectInstance>(e))
        return material->Opacity();
    return -1.0f;
}

/// E with a back-face layer in the back-face colour at that opacity: E first and the back
/// material drawing back faces only, or (backFirst) the back material first and E drawing
/// front faces only. E itself when the device cannot make the layers.
AutoPtr<EffectInstance> MakeBackFaceVariant(Lumo::Devices::ADrawContext& dc, EffectInstance* e, float opacity,
                                            bool backFirst) {
    AutoPtr<Lumo::Devices::LayeredEffectInstance> layered =
        Lumo::Devices::LayeredEffectInstance::Make(dc.VirtualDevice());
    AutoPtr<Lumo::Devices::BasicMaterialEffectInstance> back =
        Lumo::Devices::BasicMaterialEffectInstance::Make(dc.VirtualDevice());
    if (!layered || !back)
        return e;
    // The back-face colour: 92, 76, 32 of 255.
    const vec3<float> backColor(0.36078432f, 0.29803923f, 0.1254902f);
    back->Ambient(backColor);
    back->Diffuse(backColor);
    back->Specular(backColor);
    back->Opacity(opacity);
    AutoPtr<Lumo::Devices::ARasterizerState> cullFront =
        Lumo::Devices::ARasterizerState::Make(Lumo::Devices::eCullFront);
    if (backFirst) {
        AutoPtr<EffectInstance> front = e->Clone();
        front->OverrideState(cullFront.get());
        layered->AddLayer(back);
        layered->AddLayer(front);
    } else {
        back->OverrideState(cullFront.get());
        layered->AddLayer(e);
        layered->AddLayer(back);
    }
    return AutoPtr<EffectInstance>(layered.get());
}

/// E drawn without culling, marked transparent as E reports itself.
AutoPtr<EffectInstance> MakeTwoSidedVariant(EffectInstance* e, bool transparent) {
    AutoPtr<EffectInstance> c = e->Clone();
    c->Transparent(transparent);
    AutoPtr<Lumo::Devices::ARasterizerState> none = Lumo::Devices::ARasterizerState::Make(Lumo::Devices::eCullNone);
    c->OverrideState(none.get());
    return c;
}

/// The material's shared instance in that colour; looked up by identity and colour rather
/// than by the material library's text key, which would cost a string per leaf.
AutoPtr<EffectInstance> ColoredMaterialEI(Lumo::Devices::ADrawContext& dc, AmbraEffectAttribute* ambra,
                                          const vec3<float>& color) {
    EffectVariantCache::Key key;
    key.device = dc.VirtualDevice();
    key.tag = ambra->Identifier(); // interned: lives as long as the process
    key.kind = EffectVariantCache::eColor;
    key.values[0] = color.x;
    key.values[1] = color.y;
    key.values[2] = color.z;
    if (AutoPtr<EffectInstance> found = EffectVariantCache::Find(key))
        return found;
    return EffectVariantCache::Offer(key, ambra->ColorCustomizedEI(dc, color));
}
} // namespace

AutoPtr<EffectInstance> TraversalState::DoubleSidedEI(Lumo::Devices::ADrawContext& dc, EffectInstance* e) {
    if (HasAttribute(eCullMode))
        return e;
    Attribute* effectAttr = GetAttribute(eEffect);
    if (!NormalDoubleSideDisplay() && m_visualStyle != 6 && m_doubleSided != 2 &&
        !QueryInterface<VisualAnalysisAttribute>(effectAttr)) {
        if (m_visualStyle == 3 || m_visualStyle == 4 || m_visualStyle == 5)
            return e;
        float opacity = OpacityOf(e);
        if (opacity < 0.0f) {
            opacity = 1.0f;
            if (e->IsTransparent(&dc)) {
                auto* o = QueryInterface<OpacityAttribute>(GetAttribute(eOpacity));
                opacity = o ? o->GetOpacity() : 0.4f;
            }
        }
        // Shared by everything drawn with E in this mode at this back-face opacity.
        const bool backFirst = m_doubleSided == 3;
        const EffectVariantCache::Key key =
            VariantKey(dc, e, EffectVariantCache::eBackFace, backFirst ? 1u : 0u, opacity);
        if (AutoPtr<EffectInstance> found = EffectVariantCache::Find(key))
            return found;
        AutoPtr<EffectInstance> made = MakeBackFaceVariant(dc, e, opacity, backFirst);
        if (made.get() == e)
            return made;
        return EffectVariantCache::Offer(key, made);
    }
    const bool transparent = e->IsTransparent(&dc);
    EffectVariantCache::Key key = VariantKey(dc, e, EffectVariantCache::eTwoSided, transparent ? 1u : 0u, 0.0f);
    key.device = nullptr; // a clone: no device involved
    if (AutoPtr<EffectInstance> found = EffectVariantCache::Find(key))
        return found;
    return EffectVariantCache::Offer(key, MakeTwoSidedVariant(e, transparent));
}

void TraversalState::RealizeAttribute(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& graphicsState,
                                      Lumo::Graphics::ARenderNode* node) {
    if (!node)
        return;
    auto* lod = QueryInterface<LODGeometryNode>(node);
    auto* geometryNode = lod ? nullptr : QueryInterface<Lumo::Graphics::GeometryNode>(node);
    auto* text = (lod || geometryNode) ? nullptr : QueryInterface<TextNode>(node);
    auto* primitive = (lod || geometryNode || text) ? nullptr : QueryInterface<Lumo::Graphics::APrimitiveNode>(node);

    AutoPtr<Lumo::Devices::IRenderGeom> geometry;
    if (lod) {
        geometry = lod->RenderGeometry(graphicsState.GeomLOD());
        if (!geometry)
            geometry = lod->RenderGeometry(LODGeometryNode::kFallbackLevel);
        if (!geometry)
            return;
    } else if (geometryNode) {
        geometry = geometryNode->RenderGeometry();
        if (!geometry)
            return;
    }
    const bool picking = graphicsState.IsSelectionPass();
    if (auto* d = QueryInterface<DepthPriorityAttribute>(GetAttribute(eDepthPriority)))
        graphicsState.DepthPriority(d->DepthPriority());

    AutoPtr<EffectInstance> e;
    if (!picking) {
        int effectPriority = 0;
        bool effectWinsTies = false, occluded = false;
        if (auto* effect = QueryInterface<EffectAttribute>(GetAttribute(eEffect))) {
            e = effect->EffectInstance(dc, false);
            effectPriority = effect->Priority();
            effectWinsTies = effect->WinTies();
            occluded = QueryInterface<OccludedEffectAttribute>(effect) != nullptr;
            auto* hint = QueryInterface<ColorHintAttribute>(GetAttribute(eColorHint));
            if ((hint || m_colorCycling) && QueryInterface<AmbraEffectAttribute>(effect))
                e = ColoredMaterialEI(dc, QueryInterface<AmbraEffectAttribute>(effect),
                                      m_colorCycling ? m_cyclingColor : hint->ColorHint());
        }
        if (geometryNode && geometryNode->EffectInst() &&
            !(effectPriority > 3 || (effectPriority == 3 && effectWinsTies)))
            e = geometryNode->EffectInst();
        if (e) {
            auto* o = QueryInterface<OpacityAttribute>(GetAttribute(eOpacity));
            if (o && o->GetOpacity() < 0.99f)
                e = TransparentVariant(dc, e, o->GetOpacity(), o->Absolute() && !occluded);
        }
        if (e && geometry && geometry->NeedsPreparing())
            geometry->Prepare(e, graphicsState.GeomLOD());
    }

    if (lod || geometryNode) {
        auto* id = picking ? nullptr : QueryInterface<ObjectIDAttribute>(GetAttribute(eObjectID));
        // Last walk's item for this leaf when nobody holds it any more: no allocation per leaf.
        AutoPtr<Lumo::Devices::RenderItem> item =
            Lumo::Graphics::WalkPool::Item(graphicsState.Pool(), geometry, graphicsState.WorldMatrix(), id != nullptr);
        if (!picking) {
            if (e && m_doubleSided != 0)
                e = DoubleSidedEI(dc, e);
            item->Effect(e);
            if (geometryNode && geometryNode->Attributes())
                geometryNode->Attributes()->InvalidateInputData(Lumo::Graphics::AttributeLODList::BaseDataID(),
                                                                Lumo::Graphics::GeometryNode::kGeometryLevel);
            if (id)
                item->ObjectId(id->ObjectID());
            if (auto* cull = QueryInterface<CullModeAttribute>(GetAttribute(eCullMode))) {
                int c = cull->CullMode();
                if (c >= 1 && c <= 3)
                    item->CullMode(cull->CullMode());
            }
        }
        item->DepthPriority(graphicsState.DepthPriority());
        graphicsState.AddItem(item);
    } else if (primitive) {
        if (!picking && e)
            primitive->EffectInst(e);
    } else if (text) {
        RealizeTextNodeAttribute(dc, graphicsState, text);
    }
}

void TraversalState::RealizeTextNodeAttribute(Lumo::Devices::ADrawContext& dc,
                                              Lumo::Graphics::TraversalState& graphicsState, TextNode* text) {
    auto* opacityAttr = QueryInterface<OpacityAttribute>(GetAttribute(eOpacity));
    const float o = opacityAttr ? opacityAttr->GetOpacity() : 1.0f;
    const bool transparent = o < 1.0f;
    auto* a = QueryInterface<EffectAttribute>(GetAttribute(eEffect));
    if (!a && !transparent)
        return;
    bool overrideColor = false;
    const Lumo::Objects::vec4<float>* color = nullptr;
    auto* occluded = QueryInterface<OccludedEffectAttribute>(a);
    if (a) {
        overrideColor = a->Priority() > text->Priority() || a->WinTies();
        if (auto* c = QueryInterface<ColorEffectAttribute>(a)) // texture and occluded kinds are colour kinds too
            color = &c->Color();
    }
    if (!occluded && (!overrideColor || !color) && !transparent)
        return;

    Lumo::Devices::AVirtualDevice* device = dc.VirtualDevice();
    std::unique_lock<Lumo::Objects::Threads::Mutex> deviceLock;
    if (device)
        deviceLock = std::unique_lock<Lumo::Objects::Threads::Mutex>(device->SyncRoot());

    Lumo::Objects::KString keyText;
    if (a)
        keyText.Append(a->ToString());
    if (opacityAttr)
        keyText.Append(opacityAttr->ToString());
    UString* key = Lumo::Objects::Intern(keyText.Str());
    Lumo::Graphics::AttributeLODList* list = text->Attributes();
    if (!list)
        return;
    using Lumo::Graphics::AttributeLODList;
    auto* base = list->Container(AttributeLODList::BaseDataID(), AttributeLODList::UnstylizedID(),
                                 Lumo::Text::ATextNode::kTextLevel, false);
    if (!base)
        return;
    auto* variants = list->Container(key, AttributeLODList::UnstylizedID(), Lumo::Text::ATextNode::kTextLevel, false);
    if (!variants) {
        const bool overrideOnly = !(occluded || transparent);
        for (int i = 0; i < base->Count(); ++i) {
            auto* baseItem = static_cast<Lumo::Devices::RenderItem*>(base->At(i));
            AutoPtr<Lumo::Devices::RenderItem> clone = baseItem->Clone();
            EffectInstance* source = baseItem->Effect();
            if (!source)
                continue;
            auto layer = [&](float opacity, Lumo::Devices::EComparison compare, bool depthWrite) {
                AutoPtr<EffectInstance> l = source->Clone();
                l->Values().SetFloat(Lumo::Devices::StockEffects::eSolidOpacity, opacity);
                if (overrideColor && color)
                    l->Values().SetFloat4(Lumo::Devices::StockEffects::eSolidColor, *color);
                AutoPtr<Lumo::Devices::ADepthStencilState> depth =
                    Lumo::Devices::ADepthStencilState::Make(true, depthWrite, compare);
                l->OverrideState(depth.get());
                return l;
            };
            if (!overrideOnly) {
                AutoPtr<Lumo::Devices::LayeredEffectInstance> layered =
                    Lumo::Devices::LayeredEffectInstance::Make(device);
                if (!layered)
                    continue;
                layered->Transparent(true);
                layered->AddLayer(
                    layer(transparent ? o : occluded->OccludedOpacity(), Lumo::Devices::eCompareGreater, false));
                layered->AddLayer(
                    layer(transparent ? o : occluded->VisibleOpacity(), Lumo::Devices::eCompareLessEqual, true));
                clone->Effect(layered);
            } else {
                AutoPtr<EffectInstance> recolored = source->Clone();
                recolored->Values().SetFloat4(Lumo::Devices::StockEffects::eSolidColor, *color);
                clone->Effect(recolored);
            }
            list->Add(key, AttributeLODList::UnstylizedID(), Lumo::Text::ATextNode::kTextLevel, clone);
        }
        variants = list->Container(key, AttributeLODList::UnstylizedID(), Lumo::Text::ATextNode::kTextLevel, false);
    }
    if (variants)
        graphicsState.DrawInput(*variants);
}

float TraversalState::GlobalPixelScaleFactor() {
    return g_pixelScaleFactor.load(std::memory_order_relaxed);
}
void TraversalState::GlobalPixelScaleFactor(float factor) {
    g_pixelScaleFactor.store(factor, std::memory_order_relaxed);
}

bool TraversalState::NormalDoubleSideDisplay() {
    return g_normalDoubleSide.load(std::memory_order_relaxed);
}
void TraversalState::NormalDoubleSideDisplay(bool on) {
    g_normalDoubleSide.store(on, std::memory_order_relaxed);
}

} // namespace Lumo::Scene
