#pragma once
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Vec.h>
#include <Scene/Foundations/SceneClass.h>

namespace Lumo::Devices {
class TextureInstance;
class RenderItem;
} // namespace Lumo::Devices
namespace Lumo::Objects {
class SharedMatrix;
}

namespace Lumo::Scene {

/// A flat picture: a textured unit quad scaled to the image's size in pixels (model units)
/// with its lower left corner at the start position.
class ImageNode : public Lumo::Graphics::ARenderNode, public NetObjectCountImpl<ImageNode> {
    LUMO_SCENE_CLASS(ImageNode)
public:
    static ImageNode* Make(const Lumo::Objects::vec3<float>& start, Lumo::Devices::TextureInstance* texture);
    ~ImageNode() override;

    const Lumo::Objects::vec3<float>& StartPos() const { return m_start; }
    void StartPos(const Lumo::Objects::vec3<float>& start);
    Lumo::Devices::TextureInstance* Texture() const { return m_texture; }
    void Texture(Lumo::Devices::TextureInstance* texture);

    void RealizeNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                     Lumo::Graphics::WorldIterator* iterator) override;
    /// Made once: scales x by the image width and y by its height, then moves to the start.
    Lumo::Objects::ADevMatrix* WorldMatrix() override;
    Lumo::Objects::SBox3 WorldBox() override;

protected:
    ImageNode(const Lumo::Objects::vec3<float>& start, Lumo::Devices::TextureInstance* texture);

private:
    void Invalidate();

    Lumo::Objects::vec3<float> m_start;
    Lumo::Objects::AutoPtr<Lumo::Devices::TextureInstance> m_texture;
    Lumo::Objects::AutoPtr<Lumo::Objects::SharedMatrix> m_world;
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderItem> m_item;
    Lumo::Objects::SBox3 m_box;
};

} // namespace Lumo::Scene
