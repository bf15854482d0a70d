#include "DeviceTestSupport.h"

#include <Lumo/Devices/ABlendState.h>
#include <Lumo/Devices/ADepthStencilState.h>
#include <Lumo/Devices/ARasterizerState.h>
#include <Lumo/Devices/StateSetter.h>
#include <Lumo/Objects/AutoPtr.h>

using namespace Lumo::Devices;
using namespace Lumo::Objects;
using LumoDevicesTest::LiveObjects;

TEST(StateSetterTest, BlendModesSetFactorsAndKeepTheWriteMask) {
    LiveObjects live;
    AutoPtr<ABlendState> b(ABlendState::Make());
    EXPECT_FALSE(b->Target(0).enable);
    b->WriteMask(0, eWriteRed | eWriteAlpha);
    b->Mode(0, eBlendModeMultOver);
    EXPECT_TRUE(b->Target(0).enable);
    EXPECT_EQ(b->Target(0).src, eBlendOne);
    EXPECT_EQ(b->Target(0).dest, eBlendInvSrcAlpha);
    EXPECT_EQ(b->Target(0).writeMask, eWriteRed | eWriteAlpha);
    EXPECT_FALSE(b->Target(1).enable);

    b->Mode(1, eBlendModeOver);
    EXPECT_EQ(b->Target(1).src, eBlendSrcAlpha);
    EXPECT_EQ(b->Target(1).dest, eBlendInvSrcAlpha);
    b->Blend(2, eBlendFactor, eBlendInvFactor);
    EXPECT_EQ(b->Target(2).src, 14);
    EXPECT_EQ(b->Target(2).destAlpha, 15);
    b->BlendFactor(vec4<float>(0.4f, 0.4f, 0.4f, 0.4f));

    // Bad targets write nothing and read as target 0.
    b->Mode(ABlendState::kMaxRenderTargets, eBlendModeAdd);
    b->Mode(-1, eBlendModeAdd);
    EXPECT_EQ(b->Target(99).src, b->Target(0).src);

    AutoPtr<ABlendState> copy(b->Clone());
    EXPECT_TRUE(copy->Equals(*b));
    copy->Mode(0, eBlendModeOpaque);
    EXPECT_FALSE(copy->Equals(*b));
    EXPECT_EQ(copy->Target(0).writeMask, eWriteRed | eWriteAlpha);
}

TEST(StateSetterTest, ClonesCopyStatesAndMergeLaysOverrides) {
    LiveObjects live;
    AutoPtr<StateSetter> s(StateSetter::Make());
    EXPECT_TRUE(s->IsEmpty());
    AutoPtr<ARasterizerState> wire(ARasterizerState::Make(eCullNone, eFillWireframe));
    AutoPtr<ADepthStencilState> hidden(ADepthStencilState::Make(true, false, eCompareGreater));
    s->Rasterizer(wire);
    s->DepthStencil(hidden);
    EXPECT_FALSE(s->IsEmpty());

    AutoPtr<StateSetter> copy(s->Clone());
    EXPECT_TRUE(copy->Equals(*s));
    EXPECT_NE(copy->Rasterizer(), wire.get());
    copy->Rasterizer()->DepthBias(4);
    EXPECT_EQ(wire->DepthBias(), 0);
    EXPECT_FALSE(copy->Equals(*s));

    AutoPtr<StateSetter> top(StateSetter::Make());
    AutoPtr<ARasterizerState> culled(ARasterizerState::Make(eCullFront));
    top->Rasterizer(culled);
    s->Merge(*top);
    EXPECT_EQ(s->Rasterizer(), culled.get());
    EXPECT_EQ(s->DepthStencil(), hidden.get()); // kinds the top lacks stay
    EXPECT_EQ(s->Blend(), nullptr);
    EXPECT_FALSE(s->Equals(*top));

    hidden->StencilOps(eStencilKeep, eStencilZero, eStencilReplace);
    EXPECT_EQ(hidden->StencilPass(), eStencilReplace);
    AutoPtr<ADepthStencilState> hiddenCopy(hidden->Clone());
    EXPECT_TRUE(hiddenCopy->Equals(*hidden));
    hiddenCopy->DepthFunc(eCompareLessEqual);
    EXPECT_FALSE(hiddenCopy->Equals(*hidden));
}
