#pragma once
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Vec.h>
#include <Scene/Attributes/SelectionQualifier.h>

#include <memory>

namespace Lumo::Devices {
class TextureInstance;
}
namespace Lumo::Graphics {
class FacetIntersection;
}

namespace Lumo::Scene {

/// Picks through the transparent parts of an image: a hit on a textured facet counts only
/// where the image's alpha is not zero.
class AlphaImageSelectionQualifier : public SelectionQualifier {
public:
    static AlphaImageSelectionQualifier* make(Lumo::Objects::UString* path);
    AlphaImageSelectionQualifier(const AlphaImageSelectionQualifier& other);
    ~AlphaImageSelectionQualifier() override;

    static Lumo::Objects::UString* StaticClassName();
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;

    Lumo::Objects::UString* path() const { return m_path; }
    void path(Lumo::Objects::UString* path);
    /// The image, loaded on first use; null when it cannot be read.
    Lumo::Devices::TextureInstance* texture();

    /// The hit's texture coordinates; false when the hit has none.
    bool GetHitTextureUV(Lumo::Graphics::FacetIntersection* hit, Lumo::Objects::vec2<float>& uv) const;
    /// Alpha test of the image at uv; outside 0..1 never selectable, no image always.
    bool SelectableAt(const Lumo::Objects::vec2<float>& uv);
    bool selectable(Lumo::Graphics::IIntersection* hit) override;

protected:
    explicit AlphaImageSelectionQualifier(Lumo::Objects::UString* path);

private:
    Lumo::Objects::UString* m_path;
    Lumo::Objects::AutoPtr<Lumo::Devices::TextureInstance> m_texture;
    bool m_loadTried = false;
};

} // namespace Lumo::Scene
