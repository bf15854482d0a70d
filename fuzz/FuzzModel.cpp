// Model files through Host::ImportModel (Assimp). The first byte picks the file's extension,
// which is how the importer chooses its reader; the rest is the file.
#include "FuzzSupport.h"

#include <Host/Import/Importer.h>
#include <Host/Model/Model.h>

#include <iterator>

namespace {
const char* const kExtensions[] = {"glb", "gltf", "obj", "stl", "ply", "3mf", "fbx"};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const char* ext = kExtensions[data[0] % std::size(kExtensions)];
    const std::string path = Fuzz::WriteInput(std::string("model.") + ext, data + 1, size - 1).string();
    Host::Model model;
    Host::ImportOptions options;
    options.progress = false;
    std::string error;
    if (Host::ImportModel(path, model, error, options)) {
        double lo[3], hi[3];
        model.bounds(lo, hi);
        model.scene();
    } else {
        Fuzz::Check(error.find(path) != std::string::npos, "a file that does not import names itself");
    }
    return 0;
}
