#include <Scene/View/ViewFragmentPass.h>

namespace Brio::Scene {

ViewFragmentPass::ViewFragmentPass() = default;

ViewFragmentPass::ViewFragmentPass(Lumo::Graphics::GroupNode* scene_, const Brio::UniqueString* name_, bool selectable_,
                                   RenderParams* renderParams_)
    : scene(scene_), name(name_), selectable(selectable_), renderParams(renderParams_) {}

} // namespace Brio::Scene
