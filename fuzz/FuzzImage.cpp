// PNG, JPEG and BMP images through TextureLoader::LoadUtf8 (the decoder goes by content).
#include "FuzzSupport.h"

#include <Lumo/Devices/TextureInstance.h>
#include <Lumo/Devices/TextureLoader.h>
#include <Lumo/Objects/AutoPtr.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Fuzz::WriteInput("image", data, size).string();
    Lumo::Objects::AutoPtr<Lumo::Devices::TextureInstance> texture(Lumo::Devices::TextureLoader::LoadUtf8(path));
    if (texture)
        Fuzz::Check(texture->Width() > 0 && texture->Height() > 0, "a texture has pixels");
    return 0;
}
