#pragma once
#include <Lumo/Graphics/GroupNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/View/RenderParams.h>

namespace Brio {
class UniqueString;
}

namespace Brio::Scene {

/// One layer pass of a view fragment: the root of the subgraph it draws, the layer's name and
/// the render parameters it is drawn with. A plain value: copies share the scene node and the
/// render parameters, each copy holding a reference on both.
struct ViewFragmentPass {
    ViewFragmentPass();
    ViewFragmentPass(Lumo::Graphics::GroupNode* scene, const Brio::UniqueString* name, bool selectable,
                     RenderParams* renderParams);

    /// May be empty: a resolve pass draws what earlier passes collected.
    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> scene;
    /// Compared by pointer (ViewFragementPassNames); null for a resolve pass.
    const Brio::UniqueString* name = nullptr;
    /// A selectable pass also takes part in picking.
    bool selectable = false;
    Lumo::Objects::AutoPtr<RenderParams> renderParams;
};

} // namespace Brio::Scene
