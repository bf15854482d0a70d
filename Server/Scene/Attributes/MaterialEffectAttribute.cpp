#include <Scene/Attributes/MaterialEffectAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Devices/StockEffects.h>

namespace Lumo::Scene {

using Lumo::Devices::BasicMaterialEffectInstance;

LUMO_DEFINE_CLASS(MaterialEffectAttribute, EffectAttribute)

MaterialEffectAttribute* MaterialEffectAttribute::Make(const BasicColorMaterial& material, EColorSource colorSource,
                                                       bool winTies, unsigned char priority) {
    return new MaterialEffectAttribute(material, colorSource, winTies, priority);
}

Lumo::Devices::EffectInstance* MaterialEffectAttribute::CreateEffectInstance(Lumo::Devices::ADrawContext& dc, bool) {
    BasicMaterialEffectInstance* m = BasicMaterialEffectInstance::Make(Device(dc));
    if (!m)
        return nullptr;
    m->Emissive(m_material.Emissive());
    m->Ambient(m_material.Ambient());
    m->Diffuse(m_material.Diffuse());
    m->Specular(m_material.Specular());
    m->Shininess(m_material.Glossiness());
    m->Opacity(m_material.Opacity());
    m->ReflectionBlend(m_material.ReflectionBlend());
    if (m_colorSource == eSourceVertex)
        m->ColorSource(Lumo::Devices::StockEffects::eColorVertex);
    return m;
}

bool MaterialEffectAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!SameEffectKind(other))
        return false;
    auto* o = static_cast<const MaterialEffectAttribute*>(other);
    return o->m_colorSource == m_colorSource && o->m_material.Equals(m_material);
}

namespace {
void AppendColor(Lumo::Objects::KString& s, const wchar_t* name, const Lumo::Objects::vec3<float>& c) {
    s += name;
    s += L":";
    for (int i = 0; i < 3; ++i) {
        s += L" ";
        s.Append(c[i]);
    }
    s += L"\n";
}
} // namespace

Lumo::Objects::KString MaterialEffectAttribute::ToString() const {
    Lumo::Objects::KString s;
    AppendColor(s, L"Emissive", m_material.Emissive());
    AppendColor(s, L"Ambient", m_material.Ambient());
    AppendColor(s, L"Diffuse", m_material.Diffuse());
    AppendColor(s, L"Specular", m_material.Specular());
    s += L"Glossiness: ";
    s.Append(m_material.Glossiness());
    s += L"\nOpacity: ";
    s.Append(m_material.Opacity());
    s += L"\nColorSource: ";
    s += m_colorSource == eSourceVertex ? L"eSourceVertex" : L"eSourceLiteral";
    return s;
}

} // namespace Lumo::Scene
