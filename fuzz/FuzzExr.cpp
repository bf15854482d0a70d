// OpenEXR environment maps through EnvironmentTexture::LoadExr, as environments read them.
#include "FuzzSupport.h"

#include <Lumo/Devices/EnvironmentTexture.h>
#include <Lumo/Objects/AutoPtr.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = Fuzz::WriteInput("map.exr", data, size);
    std::string error;
    Lumo::Objects::AutoPtr<Lumo::Devices::EnvironmentTexture> map(
        Lumo::Devices::EnvironmentTexture::LoadExr(file, 4, &error));
    if (!map) {
        Fuzz::Check(!error.empty(), "a map that does not load says why");
        return 0;
    }
    map->Average();
    return 0;
}
