#include <Lumo/Devices/ADepthStencilState.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(ADepthStencilState, Lumo::Objects::ARefCounted)

ADepthStencilState* ADepthStencilState::Make(bool depthTest, bool depthWrite, EComparison depthFunc) {
    return new ADepthStencilState(depthTest, depthWrite, depthFunc);
}

ADepthStencilState* ADepthStencilState::Clone() const {
    return new ADepthStencilState(*this);
}

void ADepthStencilState::StencilOps(EStencilOp fail, EStencilOp depthFail, EStencilOp pass) {
    m_fail = fail;
    m_depthFail = depthFail;
    m_pass = pass;
}

bool ADepthStencilState::Equals(const ADepthStencilState& o) const {
    return m_depthTest == o.m_depthTest && m_depthWrite == o.m_depthWrite && m_depthFunc == o.m_depthFunc &&
           m_stencilTest == o.m_stencilTest && m_stencilFunc == o.m_stencilFunc && m_stencilRef == o.m_stencilRef &&
           m_readMask == o.m_readMask && m_writeMask == o.m_writeMask && m_fail == o.m_fail &&
           m_depthFail == o.m_depthFail && m_pass == o.m_pass;
}

} // namespace Lumo::Devices
