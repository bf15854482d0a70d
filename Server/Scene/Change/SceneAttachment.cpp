#include <Scene/Change/SceneAttachment.h>

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Objects/UString.h>

namespace Brio::Scene {

Lumo::Objects::UString* SceneAttachment::key() {
    static Lumo::Objects::UString* name = Lumo::Objects::Intern(L"TavexSceneAttachment");
    return name;
}

SceneAttachment* SceneAttachment::of(const Lumo::Devices::ADrawContext& dc) {
    return static_cast<SceneAttachment*>(dc.GetRefAttachment(key()));
}

void SceneAttachment::attach(Lumo::Devices::ADrawContext& dc, SceneAttachment* attachment) {
    if (attachment)
        dc.AddRefAttachment(key(), attachment);
    else
        dc.RemoveAttachment(key());
}

} // namespace Brio::Scene
