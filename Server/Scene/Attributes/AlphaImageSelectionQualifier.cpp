#include <Scene/Attributes/AlphaImageSelectionQualifier.h>

#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Graphics/FacetIntersection.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Nodes/ANodeData.h>

#include <algorithm>

namespace Lumo::Scene {

using Lumo::Objects::UString;

UString* AlphaImageSelectionQualifier::StaticClassName() {
    static UString* name = Lumo::Objects::Intern(L"AlphaImageSelectionQualifier");
    return name;
}
UString* AlphaImageSelectionQualifier::ClassName() const {
    return StaticClassName();
}
void* AlphaImageSelectionQualifier::GetInterface(UString* name) {
    return name == StaticClassName() ? this : SelectionQualifier::GetInterface(name);
}

AlphaImageSelectionQualifier::AlphaImageSelectionQualifier(UString* path) : m_path(path) {}
AlphaImageSelectionQualifier::AlphaImageSelectionQualifier(const AlphaImageSelectionQualifier&) = default;
AlphaImageSelectionQualifier::~AlphaImageSelectionQualifier() = default;

AlphaImageSelectionQualifier* AlphaImageSelectionQualifier::make(UString* path) {
    return new AlphaImageSelectionQualifier(path);
}

void AlphaImageSelectionQualifier::path(UString* path) {
    m_path = path;
    m_texture = nullptr;
    m_loadTried = false;
}

Lumo::Devices::TextureInstance* AlphaImageSelectionQualifier::texture() {
    if (!m_loadTried && m_path) {
        m_loadTried = true; // a missing image is not looked for on every pick
        m_texture = Lumo::Devices::TextureLoader::Load(m_path->Text());
    }
    return m_texture;
}

bool AlphaImageSelectionQualifier::GetHitTextureUV(Lumo::Graphics::FacetIntersection* hit,
                                                   Lumo::Objects::vec2<float>& uv) const {
    return hit && hit->TextureUV(uv);
}

bool AlphaImageSelectionQualifier::SelectableAt(const Lumo::Objects::vec2<float>& uv) {
    if (uv.x < 0.0f || uv.x > 1.0f || uv.y < 0.0f || uv.y > 1.0f)
        return false;
    Lumo::Devices::TextureInstance* image = texture();
    if (!image)
        return true;
    Lumo::Devices::SLockedLevel level = image->LockLevel(0);
    if (!level.data)
        return true;
    const int w = level.width, h = level.height;
    int column = std::clamp(int(float(w) * uv.x) - 1, 0, w - 1);
    int row = std::clamp(int(float(h) * uv.y) - 1, 0, h - 1);
    bool opaque = level.data[std::size_t(row) * level.rowPitch + std::size_t(column) * 4 + 3] != 0;
    image->UnlockLevel(0);
    return opaque;
}

bool AlphaImageSelectionQualifier::selectable(Lumo::Graphics::IIntersection* hit) {
    auto* facet = hit ? static_cast<Lumo::Graphics::FacetIntersection*>(
                            hit->GetInterface(Lumo::Graphics::FacetIntersection::StaticClassName()))
                      : nullptr;
    if (!facet || !ANodeData::GetNodeData(facet->Node()))
        return true;
    Lumo::Objects::vec2<float> uv;
    if (!GetHitTextureUV(facet, uv))
        return true;
    return SelectableAt(uv);
}

} // namespace Lumo::Scene
