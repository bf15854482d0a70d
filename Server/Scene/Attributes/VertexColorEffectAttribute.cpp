#include <Scene/Attributes/VertexColorEffectAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>

#include <boost/format.hpp>

namespace Lumo::Scene {

using Lumo::Devices::SolidEffectInstance;

LUMO_DEFINE_CLASS(VertexColorEffectAttribute, EffectAttribute)

VertexColorEffectAttribute* VertexColorEffectAttribute::Make(bool alphaFlag, float opacity, bool winTies,
                                                             unsigned char priority) {
    return new VertexColorEffectAttribute(alphaFlag, opacity, winTies, priority);
}

std::wstring VertexColorEffectAttribute::CacheKey(bool alphaFlag, float opacity) {
    return (boost::wformat(L"VertexColorEffect(%1%,%2%)") % alphaFlag % opacity).str();
}

Lumo::Devices::EffectInstance* VertexColorEffectAttribute::CreateEffectInstance(Lumo::Devices::ADrawContext& dc,
                                                                                bool shared) {
    const std::wstring key = shared ? CacheKey(m_alphaFlag, m_opacity) : std::wstring();
    if (shared)
        if (Lumo::Devices::EffectInstance* found = ShareInstance(key, nullptr))
            return found;
    SolidEffectInstance* solid = SolidEffectInstance::Make(Device(dc), false);
    if (!solid)
        return nullptr;
    solid->VertexColorAlphaFlag(m_alphaFlag);
    solid->Opacity(m_opacity);
    solid->ColorSource(Lumo::Devices::StockEffects::eColorVertex);
    return shared ? ShareInstance(key, solid) : solid;
}

bool VertexColorEffectAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!SameEffectKind(other))
        return false;
    auto* o = static_cast<const VertexColorEffectAttribute*>(other);
    return o->m_alphaFlag == m_alphaFlag && _Equalf1(o->m_opacity, m_opacity);
}

Lumo::Objects::KString VertexColorEffectAttribute::ToString() const {
    Lumo::Objects::KString s(L"VertexColorAlphaFlag: ");
    s.Append(m_alphaFlag ? 1 : 0);
    s += L"\nOpacity: ";
    s.Append(m_opacity);
    return s;
}

} // namespace Lumo::Scene
