#include "DeviceTestSupport.h"

#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/VirtualDevice.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/SharedMatrix.h>
#include <Lumo/Objects/UString.h>

using namespace Lumo::Devices;
using namespace Lumo::Objects;
using LumoDevicesTest::LiveObjects;

TEST(ADrawContextTest, CarriesDeviceMatricesViewportAndAttachments) {
    LiveObjects live;
    AutoPtr<VirtualDevice> device(VirtualDevice::Make(Intern(L"VirtualDeviceGL"), eDeviceHardware));
    AutoPtr<SharedMatrix> attached(SharedMatrix::Make());
    {
        AutoPtr<ADrawContext> dc(ADrawContext::Make(device));
        EXPECT_EQ(dc->VirtualDevice(), device.get());
        EXPECT_EQ(device->RefCount(), 2);
        EXPECT_TRUE(dc->ViewMatrix().IsIdentity());
        EXPECT_TRUE(dc->ProjMatrix().IsIdentity());

        const auto view = mat4<float>::Translation(vec3<float>(0, 0, -10));
        const auto proj = mat4<float>::Scale(vec3<float>(2, 2, 1));
        dc->ViewMatrix(view);
        dc->ProjMatrix(proj);
        dc->Viewport(640, -3);
        EXPECT_TRUE(dc->ViewProjMatrix() == view * proj);
        EXPECT_EQ(dc->ViewProjMatrix().TransformPoint(vec3<float>(1, 1, 0)), vec3<float>(2, 2, -10));
        EXPECT_EQ(dc->ViewportWidth(), 640);
        EXPECT_EQ(dc->ViewportHeight(), 0);

        AutoPtr<ADrawContext> second(ADrawContext::Make(device));
        second->CopyView(*dc);
        EXPECT_TRUE(second->ViewMatrix() == view);
        EXPECT_TRUE(second->ProjMatrix() == proj);
        EXPECT_EQ(second->ViewportWidth(), 640);

        UString* key = Intern(L"ADrawContextTest_Key");
        int record = 5;
        dc->AddVoidAttachment(key, &record);
        EXPECT_EQ(dc->GetAttachmentVoidData(key), &record);
        dc->AddRefAttachment(Intern(L"ADrawContextTest_Counted"), attached);
        EXPECT_EQ(attached->RefCount(), 2);
        EXPECT_EQ(QueryInterface<ADrawContext>(dc.get()), dc.get());
    }
    EXPECT_EQ(attached->RefCount(), 1);
    EXPECT_EQ(device->RefCount(), 1);

    AutoPtr<ADrawContext> noDevice(ADrawContext::Make(nullptr));
    EXPECT_EQ(noDevice->VirtualDevice(), nullptr);
}
