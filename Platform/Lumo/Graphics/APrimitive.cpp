#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/APrimitive.h>
#include <Lumo/Graphics/PrimitiveTessellator.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(APrimitive, ARefCounted)

APrimitive::APrimitive(Primitive3d value) : m_value(std::move(value)) {}

APrimitive::~APrimitive() = default;

APrimitive* APrimitive::Make(Primitive3d value) {
    return new APrimitive(std::move(value));
}

bool APrimitive::IsValid() const {
    return std::visit([](const auto& p) { return p.IsValid(); }, m_value);
}

const Lumo::Objects::SBox3& APrimitive::Box() const {
    std::call_once(m_boxOnce, [this] { m_box = std::visit([](const auto& p) { return p.Box(); }, m_value); });
    return m_box;
}

Lumo::Devices::SimpleMesh* APrimitive::Tessellate(int level) const {
    return PrimitiveTessellator::Tessellate(m_value, level);
}

} // namespace Lumo::Graphics
