#include <Lumo/Devices/RenderTarget.h>
#include <Lumo/Devices/TargetCache.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(RenderTarget, ADeviceResource)

RenderTarget::RenderTarget(int width, int height, ETargetFormat format, int samples)
    : m_width(width), m_height(height), m_format(format), m_samples(samples) {}

RenderTarget::~RenderTarget() = default;

RenderTarget* RenderTarget::Make(int width, int height, ETargetFormat format, int samples) {
    if (width < 1 || height < 1 || width > 16384 || height > 16384 || samples < 1 || samples > 64)
        return nullptr;
    if (format < eTargetRGBA8 || format > eTargetDepth32F)
        return nullptr;
    return new RenderTarget(width, height, format, samples);
}

TargetCache::TargetCache() = default;
TargetCache::~TargetCache() = default;

Lumo::Objects::AutoPtr<RenderTarget> TargetCache::Acquire(int width, int height, ETargetFormat format, int samples) {
    for (size_t i = 0; i < m_free.size(); ++i) {
        if (m_free[i]->Matches(width, height, format, samples)) {
            Lumo::Objects::AutoPtr<RenderTarget> t = std::move(m_free[i]);
            m_free.erase(m_free.begin() + static_cast<std::ptrdiff_t>(i));
            return t;
        }
    }
    return Lumo::Objects::AutoPtr<RenderTarget>(RenderTarget::Make(width, height, format, samples));
}

void TargetCache::Release(RenderTarget* target) {
    if (!target)
        return;
    for (auto& t : m_free)
        if (t.get() == target)
            return;
    m_free.emplace_back(target);
}

void TargetCache::Trim() {
    m_free.clear();
}

} // namespace Lumo::Devices
