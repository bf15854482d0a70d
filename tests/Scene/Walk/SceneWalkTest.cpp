#include "../TestSupport.h"
#include "AssemblyFixture.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Graphics/GraphWalker.h>
#include <Lumo/Graphics/NodeCallbacks.h>
#include <Lumo/Objects/ADevMatrix.h>
#include <Scene/Attributes/EffectInstanceCache.h>
#include <Scene/Attributes/TraversalState.h>
#include <Scene/Nodes/SceneWalk.h>

using namespace Lumo::Scene;
using namespace SceneTest;

namespace {
struct WalkSetup {
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    WalkSetup() { SceneWalk::Install(); }
    ~WalkSetup() { SceneWalk::Uninstall(); }

    void Walk(Lumo::Graphics::ARenderNode* root, Lumo::Graphics::RenderItemList& items) {
        Lumo::Graphics::GraphWalker walker(*dc);
        AutoPtr<TraversalState> seed = TraversalState::Make();
        walker.AddClientState(TraversalState::StaticClassName(), seed);
        walker.Walk(root, items);
    }
};
} // namespace

TEST(SceneWalkTest, EveryInstanceOfASharedComponentGetsItsOwnPlacementAndColour) {
    LiveObjectGuard guard;
    {
        SceneFixture::Assembly a = SceneFixture::BuildAssembly(3, 4, 2);
        WalkSetup setup;
        Lumo::Graphics::RenderItemList items;
        setup.Walk(a.root, items);
        ASSERT_EQ(items.Count(), a.leaves);
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < 4; ++i)
                for (int b = 0; b < 2; ++b) {
                    Lumo::Devices::RenderItem* item = items[(c * 4 + i) * 2 + b];
                    // No matrix means identity, which the first instance's placement is.
                    Lumo::Objects::vec3<float> at = item->WorldMatrix() ? item->WorldMatrix()->Matrix().GetTranslation()
                                                                        : Lumo::Objects::vec3<float>();
                    EXPECT_EQ(at, (Lumo::Objects::vec3<float>(float(c), float(i), 0)));
                    auto* solid = static_cast<Lumo::Devices::SolidEffectInstance*>(item->Effect());
                    ASSERT_NE(solid, nullptr);
                    EXPECT_FLOAT_EQ(solid->Color().x, float(i % 7) / 7.f);
                    EXPECT_FLOAT_EQ(solid->Color().y, float(c % 5) / 5.f);
                }
        // Bodies of one instance share one world matrix; instances share colours' instances.
        EXPECT_EQ(items[2]->WorldMatrix(), items[3]->WorldMatrix());
        EXPECT_NE(items[2]->WorldMatrix(), nullptr);
        EXPECT_EQ(items[0]->Effect(), items[1]->Effect());
    }
    EffectInstanceCache::Destroy(); // drops the shared instances before the guard counts
}
