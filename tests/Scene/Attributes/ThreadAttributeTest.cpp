#include "../TestSupport.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/SolidEffectInstance.h>
#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Scene/Attributes/ThreadAttribute.h>

using namespace Lumo::Scene;
using namespace SceneTest;

TEST(ThreadAttributeTest, OneTexturedInstancePerThreadBuiltOnce) {
    LiveObjectGuard guard;
    AutoPtr<Lumo::Devices::VirtualDevice> device = Lumo::Devices::VirtualDevice::Make(nullptr);
    AutoPtr<Lumo::Devices::ADrawContext> dc = Lumo::Devices::ADrawContext::Make(device);
    AutoPtr<ThreadAttribute> threads =
        ThreadAttribute::Make({ThreadData{2.0f, 10.0f, 1.0f, 3.0f}, ThreadData{1.5f, 8.0f, 1.0f, 1.0f}});
    const auto& list = threads->GetThreadEIList(*dc);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(&threads->GetThreadEIList(*dc), &list);
    EXPECT_EQ(threads->GetThreadEIList(*dc).Count(), 2) << "not rebuilt";
    auto* first = static_cast<Lumo::Devices::SolidEffectInstance*>(list[0]);
    ASSERT_NE(first->Texture(), nullptr) << "the generated thread texture ships with the build";
    EXPECT_GT(first->Texture()->Width(), 0);
    EXPECT_TRUE(first->TextureAlpha());
    EXPECT_FLOAT_EQ(first->TextureTransform()[0][0], 0.5f);                       // one repeat per pitch
    EXPECT_NEAR(first->TextureTransform()[1][1], 3.0f / (5.0f * 6.28318f), 1e-6); // vScale round it
    EXPECT_EQ(list[1]->RefCount(), 1);

    AutoPtr<ThreadAttribute> none = ThreadAttribute::Make({});
    EXPECT_EQ(none->GetThreadEIList(*dc).Count(), 0);
}
