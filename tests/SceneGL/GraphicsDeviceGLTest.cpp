#include <Brio/Base/Status.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceFactory.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Diagnostics/GraphicsDevice.h>
#include <Scene/View/GraphicsOptionGroup.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace Brio::Scene;

namespace {

/// Restores the shared device and the options a test changed.
struct DeviceReset {
    std::wstring driver = GraphicsOptionGroup::get()->driver();
    ~DeviceReset() {
        GraphicsOptionGroup::get()->driver(driver);
        ReleaseLumoDevice();
        unsetenv("DisableSoftwareRendererWarning");
    }
};

TEST(GraphicsDeviceTest, TheSharedDeviceFallsBackToOpenGLWhateverTheOptionNames) {
    DeviceReset reset;
    for (const wchar_t* driver : {L"VirtualDeviceDx11", L"VirtualDeviceGL", L"NoSuchDriver"}) {
        ReleaseLumoDevice();
        GraphicsOptionGroup::get()->driver(driver);
        Lumo::Devices::AVirtualDevice* device = GetDefaultLumoDevice(nullptr);
        ASSERT_NE(device, nullptr) << std::wstring(driver).size();
        EXPECT_EQ(device->Name()->Text(), L"VirtualDeviceGL");
        EXPECT_EQ(GetDefaultLumoDevice(nullptr), device) << "one device, made once";
    }
    // Starting from the named interface and going round: GL first, DirectX after it.
    ReleaseLumoDevice();
    GraphicsOptionGroup::get()->driver(L"VirtualDeviceDx9");
    GetDefaultLumoDevice(nullptr);
    EXPECT_EQ(LastDeviceAttempts(), L"VirtualDeviceDx9, VirtualDeviceGL");
    EXPECT_FALSE(Lumo::Objects::AutoPtr<Lumo::Devices::AVirtualDevice>(
        Lumo::Devices::DeviceFactory::Create(Lumo::Devices::DeviceFactory::Dx11Name())));
}

TEST(GraphicsDeviceTest, MultisamplingIsLimitedForSoftwareDevices) {
    DeviceReset reset;
    Lumo::Devices::AVirtualDevice* device = GetDefaultLumoDevice(nullptr);
    ASSERT_NE(device, nullptr);
    int count = 0, quality = -1;
    GetMSAASettings(count, quality);
    EXPECT_EQ(quality, 0);
    EXPECT_GE(count, 1);
    EXPECT_LE(count, GetMaxAllowedMSAA());
    if (device->IsSoftware()) {
        EXPECT_EQ(GetMaxAllowedMSAA(), 4);
    }
    EXPECT_GE(GetDeviceFeatureLevel(), 30);
    EXPECT_EQ(MaximumClippingPlane(), 6);
}

TEST(GraphicsDeviceTest, TheSoftwareRendererIsReportedUnlessSilenced) {
    DeviceReset reset;
    Lumo::Devices::AVirtualDevice* device = GetDefaultLumoDevice(nullptr);
    ASSERT_NE(device, nullptr);
    Brio::Status status = Brio::Status::success();
    CheckDriverStatus(status);
    if (device->IsSoftware()) {
        ASSERT_TRUE(status.isWarning());
        EXPECT_EQ(status.message(), L"The software renderer is being used; it could be due to that the graphics card "
                                    L"is not powerful enough or its driver is not installed");
        setenv("DisableSoftwareRendererWarning", "1", 1);
        Brio::Status silenced = Brio::Status::success();
        CheckDriverStatus(silenced);
        EXPECT_TRUE(silenced.isSuccess());
    } else {
        EXPECT_TRUE(status.isSuccess());
    }
}

TEST(GraphicsDeviceTest, CardsAreCertifiedFromTheHardwareLibrary) {
    const auto dir = std::filesystem::temp_directory_path() / "brio-hwlib-test";
    std::filesystem::create_directories(dir);
    const auto file = dir / "HardwareLibrary.xml";
    std::ofstream(file) << R"(<HardwareLibrary>
  <NVIDIA><Card value="NVIDIA GeForce GT 710" Workarounds="8" Rating="1"/></NVIDIA>
  <INTEL><Card value="Intel HD" Workarounds="9" Rating="0"/></INTEL>
  <Unknown><Card value="llvmpipe" Workarounds="0" Rating="1"/></Unknown>
</HardwareLibrary>)";
    CardCertificationInfo nv = ReadCardCertification(file, L"NVIDIA_Corporation", L"NVIDIA GeForce GT 710/PCIe");
    EXPECT_EQ(nv.section, L"NVIDIA");
    EXPECT_EQ(nv.vendor, L"NVIDIA Corporation") << "underscores read as spaces";
    EXPECT_TRUE(nv.found);
    EXPECT_EQ(nv.workarounds, CardCertificationInfo::kNoCaching);
    CardCertificationInfo intel = ReadCardCertification(file, L"Intel", L"Intel HD 4000");
    EXPECT_EQ(intel.section, L"INTEL");
    EXPECT_EQ(intel.workarounds, 9u);
    CardCertificationInfo mesa = ReadCardCertification(file, L"Mesa/X.org", L"llvmpipe (LLVM 15.0.6, 256 bits)");
    EXPECT_EQ(mesa.section, L"Unknown");
    EXPECT_EQ(mesa.rating, 1);
    CardCertificationInfo unknown = ReadCardCertification(file, L"Acme", L"Acme 3D");
    EXPECT_FALSE(unknown.found);
    EXPECT_EQ(unknown.workarounds, 0u);
    std::ofstream(file) << "<HardwareLibrary><NVIDIA>";
    EXPECT_FALSE(ReadCardCertification(file, L"NVIDIA", L"NVIDIA GeForce GT 710").found) << "a damaged file: defaults";
    EXPECT_FALSE(ReadCardCertification(dir / "missing.xml", L"NVIDIA", L"x").found);
    std::filesystem::remove_all(dir);
    // The shipped library is found where the library looks for it.
    EXPECT_TRUE(std::filesystem::exists(GetHardwareLibraryDirectory() / "HardwareLibrary.xml"))
        << GetHardwareLibraryDirectory();
}

} // namespace
