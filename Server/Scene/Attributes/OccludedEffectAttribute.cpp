#include <Scene/Attributes/OccludedEffectAttribute.h>

#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Lumo/Devices/SolidEffectInstance.h>

namespace Lumo::Scene {

using namespace Lumo::Devices;
using EI = Lumo::Devices::EffectInstance;
using Lumo::Objects::AutoPtr;
using Lumo::Objects::UString;
using Lumo::Objects::vec4;

LUMO_DEFINE_CLASS(OccludedEffectAttribute, TextureEffectAttribute)

OccludedEffectAttribute* OccludedEffectAttribute::Make(const UString* path, const vec4<float>& color,
                                                       float visibleOpacity, float occludedOpacity, bool winTies,
                                                       unsigned char priority) {
    return new OccludedEffectAttribute(path, color, visibleOpacity, occludedOpacity, winTies, priority);
}

Attribute* OccludedEffectAttribute::Merge(Attribute* incoming) {
    Attribute* winner = Attribute::Merge(incoming);
    auto* in = Lumo::Objects::QueryInterface<OccludedEffectAttribute>(incoming);
    if (!in || (Path() != nullptr) == (in->Path() != nullptr))
        return winner;
    const UString* path = Path() ? Path() : in->Path();
    auto* w = static_cast<OccludedEffectAttribute*>(winner);
    if (w->Path() == path)
        return w; // the winner already carries the path
    return new OccludedEffectAttribute(path, w->Color(), w->m_visibleOpacity, w->m_occludedOpacity, w->WinTies(),
                                       static_cast<unsigned char>(w->Priority()));
}

EI* OccludedEffectAttribute::CreateEffectInstance(ADrawContext& dc, bool) {
    // A fresh texture instance: the shared ones must not be changed.
    AutoPtr<EI> made(TextureEffectAttribute::CreateEffectInstance(dc, false));
    auto* visible = Lumo::Objects::QueryInterface<SolidEffectInstance>(made.get());
    if (!visible)
        return nullptr;
    LayeredEffectInstance* layered = LayeredEffectInstance::Make(Device(dc)); // the caller's, count 0
    if (!layered)
        return nullptr;

    AutoPtr<ARasterizerState> noCull(ARasterizerState::Make(eCullNone));
    AutoPtr<ABlendState> blend(ABlendState::Make());
    blend->Blend(0, eBlendSrcAlpha, eBlendInvSrcAlpha);

    visible->Opacity(visible->Opacity() * m_visibleOpacity);
    AutoPtr<ADepthStencilState> inFront(ADepthStencilState::Make(true, false, eCompareLessEqual));
    visible->OverrideState(inFront.get());
    visible->OverrideState(noCull.get());
    visible->OverrideState(blend.get());

    AutoPtr<SolidEffectInstance> hidden(visible->Clone());
    hidden->Opacity(hidden->Opacity() * m_occludedOpacity);
    AutoPtr<ADepthStencilState> behind(ADepthStencilState::Make(true, false, eCompareGreater));
    hidden->OverrideState(behind.get());

    layered->Transparent(true);
    layered->AddLayer(hidden);
    layered->AddLayer(visible);
    return layered;
}

bool OccludedEffectAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!TextureEffectAttribute::Equals(other))
        return false;
    auto* o = static_cast<const OccludedEffectAttribute*>(other);
    return _Equalf1(o->m_visibleOpacity, m_visibleOpacity) && _Equalf1(o->m_occludedOpacity, m_occludedOpacity);
}

Lumo::Objects::KString OccludedEffectAttribute::ToString() const {
    Lumo::Objects::KString s = TextureEffectAttribute::ToString();
    s += L"\nVisibleOpacity: ";
    s.Append(m_visibleOpacity);
    s += L"\nOccludedOpacity: ";
    s.Append(m_occludedOpacity);
    return s;
}

} // namespace Lumo::Scene
