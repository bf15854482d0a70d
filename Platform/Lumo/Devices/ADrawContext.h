#pragma once
#include <Lumo/Objects/AAttachable.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Mat4.h>

namespace Lumo::Devices {

class AVirtualDevice;

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

protected:
    explicit ADrawContext(AVirtualDevice* device);

private:
    Lumo::Objects::AutoPtr<AVirtualDevice> m_device;
    Lumo::Objects::mat4<float> m_view;
    Lumo::Objects::mat4<float> m_proj;
    int m_width = 0;
    int m_height = 0;
};

} // namespace Lumo::Devices
