#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Mat4.h>

namespace Lumo::Devices {

/// A camera as fragments take it: view and projection matrices in the device's form.
class ARenderCamera : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static ARenderCamera* Make(const Lumo::Objects::mat4<float>& view = {},
                               const Lumo::Objects::mat4<float>& proj = {});
    const Lumo::Objects::mat4<float>& ViewMatrix() const { return m_view; }
    void ViewMatrix(const Lumo::Objects::mat4<float>& m) { m_view = m; }
    const Lumo::Objects::mat4<float>& ProjMatrix() const { return m_proj; }
    void ProjMatrix(const Lumo::Objects::mat4<float>& m) { m_proj = m; }

protected:
    ARenderCamera(const Lumo::Objects::mat4<float>& view, const Lumo::Objects::mat4<float>& proj)
        : m_view(view), m_proj(proj) {}

private:
    Lumo::Objects::mat4<float> m_view, m_proj;
};

} // namespace Lumo::Devices
