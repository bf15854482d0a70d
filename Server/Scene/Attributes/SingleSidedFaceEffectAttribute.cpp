#include <Scene/Attributes/SingleSidedFaceEffectAttribute.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/LayeredEffectInstance.h>

namespace Lumo::Scene {

using namespace Lumo::Devices;
using EI = Lumo::Devices::EffectInstance;

LUMO_DEFINE_CLASS(SingleSidedFaceEffectAttribute, EffectAttribute)

SingleSidedFaceEffectAttribute::SingleSidedFaceEffectAttribute(EffectAttribute* face, ECull cullMode, bool winTies,
                                                               unsigned char priority)
    : EffectAttribute(winTies, priority), m_face(face), m_cullMode(cullMode) {}

SingleSidedFaceEffectAttribute::~SingleSidedFaceEffectAttribute() = default;

SingleSidedFaceEffectAttribute* SingleSidedFaceEffectAttribute::Make(EffectAttribute* face, ECull cullMode,
                                                                     bool winTies, unsigned char priority) {
    return new SingleSidedFaceEffectAttribute(face, cullMode, winTies, priority);
}

EI* SingleSidedFaceEffectAttribute::CreateEffectInstance(ADrawContext& dc, bool) {
    if (!m_face)
        return nullptr;
    EI* face = m_face->EffectInstance(dc, false);
    if (!face)
        return nullptr;
    if (!Lumo::Objects::QueryInterface<LayeredEffectInstance>(face))
        return CulledClone(face, m_cullMode);
    LayeredEffectInstance* layered = LayeredEffectInstance::Make(Device(dc)); // the caller's, count 0
    if (layered)
        AppendCulledLayers(layered, face, m_cullMode);
    return layered;
}

bool SingleSidedFaceEffectAttribute::Equals(const Attribute* other) const {
    if (other == this)
        return true;
    if (!SameEffectKind(other))
        return false;
    auto* o = static_cast<const SingleSidedFaceEffectAttribute*>(other);
    if (o->m_cullMode != m_cullMode)
        return false;
    if (!o->m_face || !m_face)
        return !o->m_face && !m_face;
    return m_face->Equals(o->m_face);
}

Lumo::Objects::KString SingleSidedFaceEffectAttribute::ToString() const {
    Lumo::Objects::KString s(L"FaceAttribute: ");
    if (m_face)
        s += m_face->ToString();
    s += L"\nCullMode: ";
    s += m_cullMode == eCullBack ? L"CullBack" : m_cullMode == eCullFront ? L"CullFront" : L"CullNone";
    return s;
}

} // namespace Lumo::Scene
