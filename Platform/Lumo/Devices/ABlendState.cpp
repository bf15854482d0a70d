#include <Lumo/Devices/ABlendState.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(ABlendState, Lumo::Objects::ARefCounted)

namespace {
bool ValidTarget(int rt) {
    return rt >= 0 && rt < ABlendState::kMaxRenderTargets;
}
} // namespace

ABlendState* ABlendState::Make(EBlendMode mode) {
    ABlendState* s = new ABlendState();
    for (int rt = 0; rt < kMaxRenderTargets; ++rt)
        s->Mode(rt, mode);
    return s;
}

ABlendState* ABlendState::Clone() const {
    return new ABlendState(*this);
}

bool ABlendState::Equals(const ABlendState& o) const {
    for (int rt = 0; rt < kMaxRenderTargets; ++rt)
        if (!(m_targets[rt] == o.m_targets[rt]))
            return false;
    return m_factor == o.m_factor && m_alphaToCoverage == o.m_alphaToCoverage;
}

const SRenderTargetBlend& ABlendState::Target(int rt) const {
    return m_targets[ValidTarget(rt) ? rt : 0];
}

void ABlendState::Target(int rt, const SRenderTargetBlend& blend) {
    if (ValidTarget(rt))
        m_targets[rt] = blend;
}

void ABlendState::Mode(int rt, EBlendMode mode) {
    if (!ValidTarget(rt))
        return;
    SRenderTargetBlend b;
    b.writeMask = m_targets[rt].writeMask;
    // Alpha of the over modes composites like coverage, so layered transparent passes
    // leave a correct alpha for later compositing.
    switch (mode) {
    case eBlendModeOpaque:
        break;
    case eBlendModeOver:
        b = {true,      eBlendSrcAlpha,    eBlendInvSrcAlpha, eBlendOpAdd,
             eBlendOne, eBlendInvSrcAlpha, eBlendOpAdd,       b.writeMask};
        break;
    case eBlendModeMultOver:
        b = {true, eBlendOne, eBlendInvSrcAlpha, eBlendOpAdd, eBlendOne, eBlendInvSrcAlpha, eBlendOpAdd, b.writeMask};
        break;
    case eBlendModeAdd:
        b = {true, eBlendSrcAlpha, eBlendOne, eBlendOpAdd, eBlendZero, eBlendOne, eBlendOpAdd, b.writeMask};
        break;
    case eBlendModeMultiply:
        b = {true, eBlendDestColor, eBlendZero, eBlendOpAdd, eBlendDestAlpha, eBlendZero, eBlendOpAdd, b.writeMask};
        break;
    case eBlendModeFactor:
        b = {true, eBlendFactor, eBlendInvFactor, eBlendOpAdd, eBlendFactor, eBlendInvFactor, eBlendOpAdd, b.writeMask};
        break;
    }
    m_targets[rt] = b;
}

void ABlendState::Blend(int rt, EBlend src, EBlend dest, EBlendOp op) {
    if (!ValidTarget(rt))
        return;
    SRenderTargetBlend& b = m_targets[rt];
    b.enable = true;
    b.src = b.srcAlpha = src;
    b.dest = b.destAlpha = dest;
    b.op = b.opAlpha = op;
}

void ABlendState::WriteMask(int rt, std::uint8_t mask) {
    if (ValidTarget(rt))
        m_targets[rt].writeMask = mask & eWriteAll;
}

} // namespace Lumo::Devices
