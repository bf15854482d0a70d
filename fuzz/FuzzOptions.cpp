// Options files (ServerOptions.xml) through every option group's load; a file that loads must
// save and read back again, so that what the user had is never lost on the way.
#include "FuzzSupport.h"

#include <Brio/Base/BootstrapOptionGroup.h>
#include <Brio/Base/OptionGroup.h>
#include <Scene/View/GraphicsOptionGroup.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = Fuzz::WriteInput("options/ServerOptions.xml", data, size);
    // Made (and loaded from the scratch options folder) before the first group is read.
    Brio::Scene::GraphicsOptionGroup::get();
    Brio::BootstrapOptionGroup::get();
    for (Brio::OptionGroup* group : Brio::OptionGroup::all()) {
        group->persistFile(file);
        const Brio::Status loaded = group->load();
        if (loaded.failed()) {
            Fuzz::Check(!loaded.message().empty(), "a file that does not load says why");
        } else {
            Fuzz::Check(!group->save().failed(), "what was loaded saves");
            Fuzz::Check(!group->load().failed(), "what was saved loads");
        }
        group->resetToDefaults();
    }
    return 0;
}
