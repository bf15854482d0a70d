#pragma once
#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Objects/AutoPtr.h>

#include <vector>

namespace Lumo::Devices {

/// Targets kept for reuse: a frame asks for targets of a size and format and gives them
/// back, so that steady frames make no new GPU images.
class TargetCache {
public:
    TargetCache();
    ~TargetCache();
    /// A free target of that kind, made when none is free; null for a bad request.
    Lumo::Objects::AutoPtr<RenderTarget> Acquire(int width, int height, ETargetFormat format, int samples = 1);
    /// Makes a target acquired earlier free again.
    void Release(RenderTarget* target);
    /// Drops every free target.
    void Trim();
    int FreeCount() const { return static_cast<int>(m_free.size()); }

private:
    std::vector<Lumo::Objects::AutoPtr<RenderTarget>> m_free;
};

} // namespace Lumo::Devices
