#include <Lumo/Devices/ARasterizerState.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(ARasterizerState, Lumo::Objects::ARefCounted)

ARasterizerState* ARasterizerState::Make(ECull cull, EFillMode fill) {
    return new ARasterizerState(cull, fill);
}

ARasterizerState* ARasterizerState::Clone() const {
    return new ARasterizerState(*this);
}

bool ARasterizerState::Equals(const ARasterizerState& o) const {
    return m_cull == o.m_cull && m_fill == o.m_fill && m_frontCCW == o.m_frontCCW && m_depthBias == o.m_depthBias &&
           m_slopeBias == o.m_slopeBias && m_depthClip == o.m_depthClip;
}

} // namespace Lumo::Devices
