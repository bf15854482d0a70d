#pragma once
#include <Lumo/Devices/ADeviceResource.h>

#include <cstdint>
#include <vector>

namespace Lumo::Devices {

/// Formats of render targets (the names the fragment scripts use follow in comments).
enum ETargetFormat : int {
    eTargetRGBA8 = 0,        ///< EFORMAT_R8G8B8A8_UNORM: what is shown and saved
    eTargetRGBA16F = 1,      ///< EFORMAT_R16G16B16A16_FLOAT: accumulation
    eTargetR32F = 2,         ///< EFORMAT_R32_FLOAT: depth complexity, shadow depths
    eTargetDepthStencil = 3, ///< 24-bit depth, 8-bit stencil
    eTargetDepth32F = 4,     ///< depth only, sampled by shadow passes
};

/// An image the device draws into: colour or depth-stencil, with a sample count. The GL
/// texture is made when the target is first bound and lives as long as the target.
class RenderTarget : public ADeviceResource {
    LUMO_DECLARE_CLASS()
public:
    /// Null for a size outside 1 .. 16384 or a sample count below 1.
    static RenderTarget* Make(int width, int height, ETargetFormat format = eTargetRGBA8, int samples = 1);
    ~RenderTarget() override;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    ETargetFormat Format() const { return m_format; }
    int Samples() const { return m_samples; }
    bool IsDepth() const { return m_format == eTargetDepthStencil || m_format == eTargetDepth32F; }
    /// Made for the same request (the target cache hands such targets out again).
    bool Matches(int width, int height, ETargetFormat format, int samples) const {
        return width == m_width && height == m_height && format == m_format && samples == m_samples;
    }

protected:
    RenderTarget(int width, int height, ETargetFormat format, int samples);

private:
    int m_width, m_height;
    ETargetFormat m_format;
    int m_samples;
};

} // namespace Lumo::Devices
