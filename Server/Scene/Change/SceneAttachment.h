#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>

namespace Lumo::Devices {
class ADrawContext;
}
namespace Lumo::Graphics {
class ARenderNode;
}
namespace Lumo::Objects {
class UString;
}

namespace Brio::Scene {

/// What a draw context carries while one pass of a view is drawn or picked: the pass's
/// render parameters (none in a pick) and what the node callbacks read of them, the scene
/// node whose world is walked, a second context with the same view and projection, the pass
/// renderer's viewport record and the context it is attached to.
class SceneAttachment : public Lumo::Objects::ARefCounted {
public:
    static SceneAttachment* make() { return new SceneAttachment; }
    /// "TavexSceneAttachment", the key it is attached under.
    static Lumo::Objects::UString* key();
    /// The attachment of a context, or null.
    static SceneAttachment* of(const Lumo::Devices::ADrawContext& dc);
    /// Attaches (the context holds a reference) or, with null, removes.
    static void attach(Lumo::Devices::ADrawContext& dc, SceneAttachment* attachment);

    Lumo::Objects::AutoPtr<Lumo::Objects::ARefCounted> renderParams;
    /// Read from the render parameters: the visual style applied to bodies (-1 none) and
    /// whether colour cycling is on.
    int visualStyle = -1;
    bool colorCyclingEnabled = false;
    Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderNode> sceneNode;
    Lumo::Devices::ADrawContext* secondContext = nullptr;
    void* viewport = nullptr;
    Lumo::Devices::ADrawContext* context = nullptr;

    bool hasRenderParams() const { return renderParams.get() != nullptr; }

protected:
    SceneAttachment() = default;
};

} // namespace Brio::Scene
