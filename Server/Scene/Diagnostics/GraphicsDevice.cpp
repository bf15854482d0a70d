#include <Scene/Diagnostics/GraphicsDevice.h>

#include <Brio/Base/LocalizedString.h>
#include <Brio/Base/PathInfo.h>
#include <Brio/Base/Status.h>
#include <Brio/Base/XMLDocument.h>
#include <Brio/Base/XMLNode.h>
#include <Lumo/Devices/ADrawContext.h>
#include <Lumo/Devices/AVirtualDevice.h>
#include <Lumo/Devices/DeviceFactory.h>
#include <Lumo/Devices/GLDevice.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/UString.h>
#include <Scene/Foundations/AddInStaticInternal.h>
#include <Scene/View/GraphicsOptionGroup.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace Brio::Scene {

using Lumo::Devices::AVirtualDevice;
using Lumo::Devices::DeviceFactory;
using Lumo::Objects::AutoPtr;

namespace {

struct DeviceState {
    std::recursive_mutex mutex;
    AutoPtr<AVirtualDevice> device;
    bool tried = false;
    int maxAllowedSamples = 8;
    int samples = 1, quality = 0;
    std::wstring attempts;
    std::unique_ptr<CardCertificationInfo> certification;
};
DeviceState& State() {
    static AddInStatic<DeviceState> s; // lives past every static that might ask
    return *s;
}

int FeatureLevelOf(AVirtualDevice* d) {
    auto* gl = d ? static_cast<Lumo::Devices::GLDevice*>(d->GetInterface(Lumo::Devices::GLDevice::StaticClassName()))
                 : nullptr;
    return gl ? gl->FeatureLevel() : 0;
}
int MaxSamplesOf(AVirtualDevice* d) {
    auto* gl = d ? static_cast<Lumo::Devices::GLDevice*>(d->GetInterface(Lumo::Devices::GLDevice::StaticClassName()))
                 : nullptr;
    return gl ? gl->MaxSamples() : 1;
}
std::wstring Widen(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}

} // namespace

AVirtualDevice* InitializeLumoDevice(void* window) {
    DeviceState& s = State();
    std::lock_guard lock(s.mutex);
    if (s.device)
        return s.device;
    s.tried = true;
    s.attempts.clear();
    Lumo::Objects::UString* order[] = {DeviceFactory::Dx11Name(), DeviceFactory::Dx9Name(), DeviceFactory::GLName()};
    // Start with the interface the user's option names, then go round.
    int first = 0;
    const std::wstring driver = GraphicsOptionGroup::get()->driver();
    for (int i = 0; i < 3; ++i)
        if (order[i]->Text() == driver)
            first = i;
    const int deviceType = GraphicsOptionGroup::get()->deviceType();
    AutoPtr<AVirtualDevice> made;
    for (int k = 0; k < 3 && !made; ++k) {
        Lumo::Objects::UString* name = order[(first + k) % 3];
        if (!s.attempts.empty())
            s.attempts += L", ";
        s.attempts += name->Text();
        made = DeviceFactory::Create(name, deviceType, window);
        if (made) {
            const CardCertificationInfo& card = GetCardCertificationInfo(made);
            if ((card.workarounds & CardCertificationInfo::kNoDx11) && name == DeviceFactory::Dx11Name()) {
                s.certification.reset();
                made = DeviceFactory::Create(DeviceFactory::Dx9Name(), deviceType, window);
            }
        }
    }
    if (made && (GetCardCertificationInfo(made).workarounds & CardCertificationInfo::kUseSoftware)) {
        AutoPtr<AVirtualDevice> software(DeviceFactory::Create(DeviceFactory::Dx11Name(), 3, window));
        if (software)
            made = software;
    }
    if (!made || !(made->DeviceType() == Lumo::Devices::eDeviceSoftware || FeatureLevelOf(made) >= 30)) {
        AutoPtr<AVirtualDevice> software(DeviceFactory::Create(DeviceFactory::Dx11Name(), 3, window));
        if (software)
            made = software;
    }
    if (!made) {
        s.certification.reset();
        return nullptr;
    }
    s.device = made;
    // Multisampling limits by capability: software and older devices get at most four samples.
    const int level = FeatureLevelOf(made);
    if (level >= 31) {
        if (level < 45 || made->DeviceType() == Lumo::Devices::eDeviceSoftware)
            s.maxAllowedSamples = 4;
    } else if (level == 30) {
        s.maxAllowedSamples = 1;
        GraphicsOptionGroup::get()->MSAA(false);
        GraphicsOptionGroup::get()->FXAA(false);
    }
    int supported = MaxSamplesOf(made);
    int chosen = 1;
    for (int c : {8, 4, 2, 1})
        if (c <= supported && c <= s.maxAllowedSamples) {
            chosen = c;
            break;
        }
    s.samples = chosen;
    s.quality = 0;
    return s.device;
}

AVirtualDevice* GetDefaultLumoDevice(void* window) {
    return InitializeLumoDevice(window);
}

void ReleaseLumoDevice() {
    DeviceState& s = State();
    std::lock_guard lock(s.mutex);
    s.device = nullptr;
    s.certification.reset();
    s.tried = false;
    s.maxAllowedSamples = 8;
    s.samples = 1;
    s.quality = 0;
}

const std::wstring& LastDeviceAttempts() {
    return State().attempts;
}

int GetDeviceFeatureLevel() {
    DeviceState& s = State();
    std::lock_guard lock(s.mutex);
    return FeatureLevelOf(s.device);
}

void GetMSAASettings(int& count, int& quality) {
    DeviceState& s = State();
    std::lock_guard lock(s.mutex);
    count = s.samples;
    quality = s.quality;
}

int GetMaxAllowedMSAA() {
    return State().maxAllowedSamples;
}

int MaximumClippingPlane() {
    return Lumo::Devices::ADrawContext::kMaxClipPlanes;
}

void CheckDriverStatus(Brio::Status& status) {
    AVirtualDevice* device = GetDefaultLumoDevice(nullptr);
    if (!device) {
        status = Brio::Status::warning(
            1,
            Brio::LocalizedString{L"BrioScene", L"NoRenderer",
                                  L"Failed to create the graphics renderer; it could be due to that the graphics card "
                                  L"is not powerful enough or its driver is not installed"}
                .text());
        return;
    }
    const char* silence = std::getenv("DisableSoftwareRendererWarning");
    if (device->DeviceType() == Lumo::Devices::eDeviceSoftware && !(silence && *silence))
        status = Brio::Status::warning(
            2, Brio::LocalizedString{L"BrioScene", L"SoftwareRenderer",
                                     L"The software renderer is being used; it could be due to that the graphics card "
                                     L"is not powerful enough or its driver is not installed"}
                   .text());
}

CardCertificationInfo ReadCardCertification(const std::filesystem::path& libraryFile, const std::wstring& vendorId,
                                            const std::wstring& renderer) {
    CardCertificationInfo info;
    info.vendor = vendorId;
    std::replace(info.vendor.begin(), info.vendor.end(), L'_', L' ');
    info.card = renderer;
    std::wstring upper = info.vendor;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return wchar_t(std::towupper(c)); });
    info.section = upper.find(L"NVIDIA") != std::wstring::npos  ? L"NVIDIA"
                   : upper.find(L"INTEL") != std::wstring::npos ? L"INTEL"
                                                                : L"Unknown";
    Brio::XMLDocument doc;
    if (!doc.load(libraryFile).isSuccess())
        return info;
    Brio::XMLNode section = doc.root().child(Brio::XMLString(info.section));
    if (!section)
        return info;
    for (const Brio::XMLNode& card : section.children()) {
        const std::wstring value = card.attribute("value").asStr();
        if (value.empty() || renderer.compare(0, value.size(), value) != 0)
            continue;
        info.workarounds = std::uint32_t(card.attribute("Workarounds").asInt(0));
        info.rating = card.attribute("Rating").asInt(-1);
        info.found = true;
        break;
    }
    return info;
}

const CardCertificationInfo& GetCardCertificationInfo(AVirtualDevice* device) {
    DeviceState& s = State();
    std::lock_guard lock(s.mutex);
    if (!s.certification)
        s.certification = std::make_unique<CardCertificationInfo>(
            ReadCardCertification(GetHardwareLibraryDirectory() / "HardwareLibrary.xml",
                                  GetGraphicsCardVendorID(device), GetGraphicsCardDriverID(device)));
    return *s.certification;
}

std::wstring GetGraphicsCardVendorID(AVirtualDevice* device) {
    auto* gl =
        device ? static_cast<Lumo::Devices::GLDevice*>(device->GetInterface(Lumo::Devices::GLDevice::StaticClassName()))
               : nullptr;
    return gl ? Widen(gl->VendorName()) : std::wstring();
}

std::wstring GetGraphicsCardDriverID(AVirtualDevice* device) {
    auto* gl =
        device ? static_cast<Lumo::Devices::GLDevice*>(device->GetInterface(Lumo::Devices::GLDevice::StaticClassName()))
               : nullptr;
    return gl ? Widen(gl->RendererName()) : std::wstring();
}

std::wstring GetGraphicsCardAPI() {
    return L"OpenGL 4.5";
}

std::filesystem::path GetShaderDirectory(AVirtualDevice*) {
    return Brio::PathInfo::coreAddInDirectory();
}

std::filesystem::path GetHardwareLibraryDirectory() {
    return Brio::PathInfo::localizationDirectory() / "Server" / "Scene" / "Resources" / "HardwareLibrary";
}

} // namespace Brio::Scene
