#pragma once
#include <Lumo/Devices/DrawLight.h>
#include <Lumo/Objects/AAttachable.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Mat4.h>

#include <vector>

namespace Lumo::Devices {

class AVirtualDevice;
class IBLInstance;

/// What a walk draws or picks with: the device, the view and projection matrices
/// (row-vector convention; device space is left-handed: the eye looks along +z and the
/// projection's w is the eye depth, so a right-handed camera's view matrix has its third
/// column negated on the way in), the viewport size, and keyed attachments through which
/// clients hand data to the code called during the walk. It needs no graphics context.
class ADrawContext : public Lumo::Objects::ARefCounted, public Lumo::Objects::AAttachable {
    LUMO_DECLARE_CLASS()
public:
    /// Holds a reference on the device (which may be null).
    static ADrawContext* Make(AVirtualDevice* device);
    ~ADrawContext() override;

    AVirtualDevice* VirtualDevice() const { return m_device; }

    const Lumo::Objects::mat4<float>& ViewMatrix() const { return m_view; }
    void ViewMatrix(const Lumo::Objects::mat4<float>& m) { m_view = m; }
    const Lumo::Objects::mat4<float>& ProjMatrix() const { return m_proj; }
    void ProjMatrix(const Lumo::Objects::mat4<float>& m) { m_proj = m; }
    /// View then projection.
    Lumo::Objects::mat4<float> ViewProjMatrix() const { return m_view * m_proj; }

    int ViewportWidth() const { return m_width; }
    void ViewportWidth(int width) { m_width = width > 0 ? width : 0; }
    int ViewportHeight() const { return m_height; }
    void ViewportHeight(int height) { m_height = height > 0 ? height : 0; }
    void Viewport(int width, int height) {
        ViewportWidth(width);
        ViewportHeight(height);
    }

    /// Takes other's view, projection and viewport (a second context looking the same way).
    void CopyView(const ADrawContext& other);

    /// The lights lit effects are drawn with, and the ambient light added to every lit point.
    /// Without any light a device lights with its own default rig.
    std::vector<SDrawLight>& Lights() { return m_lights; }
    const std::vector<SDrawLight>& Lights() const { return m_lights; }
    const Lumo::Objects::vec3<float>& AmbientLight() const { return m_ambient; }
    void AmbientLight(const Lumo::Objects::vec3<float>& c) { m_ambient = c; }

    /// The environment's image-based lighting lit effects add to their lights (held), or null.
    IBLInstance* ImageBasedLighting() const { return m_ibl.get(); }
    void ImageBasedLighting(IBLInstance* ibl);

    /// World-space clipping planes (a, b, c, d): points with a x + b y + c z + d < 0 are cut
    /// away. At most kMaxClipPlanes are used.
    static constexpr int kMaxClipPlanes = 6;
    std::vector<Lumo::Objects::vec4<float>>& ClippingPlanes() { return m_clipPlanes; }
    const std::vector<Lumo::Objects::vec4<float>>& ClippingPlanes() const { return m_clipPlanes; }

    /// Inverse extent of a unit at unit distance (level-of-detail strategies read it);
    /// 0 means not set.
    float InverseUnitExtent() const { return m_inverseUnitExtent; }
    void InverseUnitExtent(float e) { m_inverseUnitExtent = e; }

protected:
    explicit ADrawContext(AVirtualDevice* device);

private:
    Lumo::Objects::AutoPtr<AVirtualDevice> m_device;
    Lumo::Objects::mat4<float> m_view;
    Lumo::Objects::mat4<float> m_proj;
    int m_width = 0;
    int m_height = 0;
    std::vector<SDrawLight> m_lights;
    Lumo::Objects::AutoPtr<IBLInstance> m_ibl;
    Lumo::Objects::vec3<float> m_ambient{0.25f, 0.25f, 0.25f};
    std::vector<Lumo::Objects::vec4<float>> m_clipPlanes;
    float m_inverseUnitExtent = 0.0f;
};

} // namespace Lumo::Devices
