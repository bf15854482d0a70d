#include <Scene/Attributes/TwoSidedFaceEffectAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/BasicMaterialEffectInstance.h>
#include <Lumo/Devices/LayeredEffectInstance.h>
#include <Scene/Attributes/AmbraEffectAttribute.h>

namespace Lumo::Scene {

using namespace Lumo::Devices;
using EI = Lumo::Devices::EffectInstance;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;
using Lumo::Objects::Threads::MutexLocker;

LUMO_DEFINE_CLASS(TwoSidedFaceEffectAttribute, EffectAttribute)

TwoSidedFaceEffectAttribute::TwoSidedFaceEffectAttribute(EffectAttribute* front, EffectAttribute* back, bool winTies,
                                                         unsigned char priority)
    : EffectAttribute(winTies, priority), m_front(front), m_back(back) {}

TwoSidedFaceEffectAttribute::~TwoSidedFaceEffectAttribute() = default;

TwoSidedFaceEffectAttribute* TwoSidedFaceEffectAttribute::Make(EffectAttribute* front, EffectAttribute* back,
                                                               bool winTies, unsigned char priority) {
    return new TwoSidedFaceEffectAttribute(front, back, winTies, priority);
}

EI* TwoSidedFaceEffectAttribute::DefaultFrontFaceEI(ADrawContext& dc) {
    static Lumo::Objects::UString* paint = Lumo::Objects::Intern(L"Paint-015");
    return AmbraEffectAttribute::SharedMaterialEI(dc.VirtualDevice(), paint, false, vec4<float>(), 1.0f, 0.0f);
}

EI* TwoSidedFaceEffectAttribute::DefaultBackFaceEI(ADrawContext& dc) {
    static const std::wstring key = L"DefaultBackFaceEffect";
    if (EI* found = ShareInstance(key, nullptr))
        return found;
    BasicMaterialEffectInstance* back = BasicMaterialEffectInstance::Make(dc.VirtualDevice());
    if (!back)
        return nullptr;
    const vec3<float> ochre(0.36078432f, 0.29803923f, 0.1254902f); // 92, 76, 32 of 255
    back->Ambient(ochre);
    back->Diffuse(ochre);
    back->Specular(ochre);
    back->Opacity(1.0f);
    return ShareInstance(key, back);
}

EI* TwoSidedFaceEffectAttribute::CreateEffectInstance(ADrawContext& dc, bool) {
    {
        MutexLocker lock(m_faceMutex);
        if (!m_frontEI)
            m_frontEI = m_front ? m_front->EffectInstance(dc, false) : DefaultFrontFaceEI(dc);
        if (!m_backEI)
            m_backEI = m_back ? m_back->EffectInstance(dc, false) : DefaultBackFaceEI(dc);
    }
    if (!m_frontEI && !m_backEI)
        return nullptr;
    LayeredEffectInstance* layered = LayeredEffectInstance::Make(Device(dc)); // the caller's, count 0
    if (!layered)
        return nullptr;
    // Clones carry the culling, so the face instances (often shared) stay as they are.
    AppendCulledLayers(layered, m_backEI, eCullFront);
    AppendCulledLayers(layered, m_frontEI, eCullBack);
    return layered;
}

namespace {
bool SameSide(const EffectAttribute* a, const EffectAttribute* b) {
    if (!a || !b)
        return !a && !b;
    return a->Equals(b);
}

void AppendSide(Lumo::Objects::KString& s, const wchar_t* name, EffectAttribute* side) {
    s += name;
    s += L" { ";
    if (side)
        s += side->ToString();
    else
        s += L"Default";
    s += L" }";
}
} // namespace

bool TwoSidedFaceEffectAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!SameEffectKind(other))
        return false;
    auto* o = static_cast<const TwoSidedFaceEffectAttribute*>(other);
    return SameSide(m_front, o->m_front) && SameSide(m_back, o->m_back);
}

Lumo::Objects::KString TwoSidedFaceEffectAttribute::ToString() const {
    Lumo::Objects::KString s;
    AppendSide(s, L"FrontFace", m_front);
    s += L"\n";
    AppendSide(s, L"BackFace", m_back);
    return s;
}

} // namespace Lumo::Scene
