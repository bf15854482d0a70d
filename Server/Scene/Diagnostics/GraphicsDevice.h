#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

namespace Lumo::Devices {
class AVirtualDevice;
}
namespace Brio {
class Status;
}

namespace Brio::Scene {

/// What the hardware library says of the device's card. Without an entry every field keeps
/// its default: no workaround.
struct CardCertificationInfo {
    std::wstring vendor;  ///< the card's vendor id, underscores as spaces
    std::wstring card;    ///< the renderer name the entry was looked up by
    std::wstring section; ///< "NVIDIA", "INTEL" or "Unknown"
    std::uint32_t workarounds = 0;
    int rating = -1; ///< -1 when the card has no entry
    bool found = false;

    static constexpr std::uint32_t kNoDx11 = 1, kUseSoftware = 2, kNoCaching = 8;
};

/// Makes the one device every view shares, trying the device interfaces in turn from the one
/// the graphics option `driver` names ("VirtualDeviceDx11", "VirtualDeviceDx9",
/// "VirtualDeviceGL"; only the last exists on this platform), and sets the multisampling
/// limits. Nothing when it exists. Answers it, or null when no interface made one.
Lumo::Devices::AVirtualDevice* InitializeLumoDevice(void* window);
/// The shared device, made when needed.
Lumo::Devices::AVirtualDevice* GetDefaultLumoDevice(void* window);
/// Lets go of the shared device (the add-in's unload; a later request makes a new one).
void ReleaseLumoDevice();
/// The interfaces tried by the last creation, in order (for diagnosis).
const std::wstring& LastDeviceAttempts();

int GetDeviceFeatureLevel();
/// The chosen multisample count and quality (1 and 0 before a device exists).
void GetMSAASettings(int& count, int& quality);
/// The largest sample count allowed for the device.
int GetMaxAllowedMSAA();
int MaximumClippingPlane();

/// Adds a warning when no device could be made, or when the device is the software renderer
/// (unless the environment variable "DisableSoftwareRendererWarning" has a value).
void CheckDriverStatus(Brio::Status& status);

/// The certification record of the device's card, read once per process from
/// "HardwareLibrary.xml".
const CardCertificationInfo& GetCardCertificationInfo(Lumo::Devices::AVirtualDevice* device);
/// Reads a record from the hardware library at path for a vendor and renderer name (what
/// GetCardCertificationInfo does, open for tests and tools).
CardCertificationInfo ReadCardCertification(const std::filesystem::path& libraryFile, const std::wstring& vendor,
                                            const std::wstring& renderer);
std::wstring GetGraphicsCardVendorID(Lumo::Devices::AVirtualDevice* device);
std::wstring GetGraphicsCardDriverID(Lumo::Devices::AVirtualDevice* device);
std::wstring GetGraphicsCardAPI();

/// The folder of the device's shader files (beside the libraries: the core add-in folder).
std::filesystem::path GetShaderDirectory(Lumo::Devices::AVirtualDevice* device);
/// <localization folder>/Server/Scene/Resources/HardwareLibrary/.
std::filesystem::path GetHardwareLibraryDirectory();

} // namespace Brio::Scene
