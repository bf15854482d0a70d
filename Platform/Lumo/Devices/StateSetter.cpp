#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/StateSetter.h>

namespace Lumo::Devices {

using Lumo::Objects::AutoPtr;

LUMO_DEFINE_CLASS(StateSetter, Lumo::Objects::ARefCounted)

StateSetter::StateSetter() = default;
StateSetter::~StateSetter() = default;

StateSetter* StateSetter::Make() {
    return new StateSetter();
}

StateSetter* StateSetter::Clone() const {
    StateSetter* s = new StateSetter();
    if (m_rasterizer)
        s->m_rasterizer = AutoPtr<ARasterizerState>(m_rasterizer->Clone());
    if (m_blend)
        s->m_blend = AutoPtr<ABlendState>(m_blend->Clone());
    if (m_depthStencil)
        s->m_depthStencil = AutoPtr<ADepthStencilState>(m_depthStencil->Clone());
    return s;
}

namespace {
template <class T> bool SameState(const T* a, const T* b) {
    if (!a || !b)
        return a == b;
    return a == b || a->Equals(*b);
}
} // namespace

bool StateSetter::Equals(const StateSetter& o) const {
    return SameState(m_rasterizer.get(), o.m_rasterizer.get()) && SameState(m_blend.get(), o.m_blend.get()) &&
           SameState(m_depthStencil.get(), o.m_depthStencil.get());
}

void StateSetter::Rasterizer(ARasterizerState* state) {
    m_rasterizer = state;
}
void StateSetter::Blend(ABlendState* state) {
    m_blend = state;
}
void StateSetter::DepthStencil(ADepthStencilState* state) {
    m_depthStencil = state;
}

void StateSetter::Merge(const StateSetter& other) {
    if (other.m_rasterizer)
        m_rasterizer = other.m_rasterizer;
    if (other.m_blend)
        m_blend = other.m_blend;
    if (other.m_depthStencil)
        m_depthStencil = other.m_depthStencil;
}

} // namespace Lumo::Devices
