// The fragment library file ("LumoFragmentsLibrary-4_0.lumof") through FragmentLibraryFile::Load.
#include "FuzzSupport.h"

#include <Lumo/Graphics/FragmentLibraryFile.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::filesystem::path file = Fuzz::WriteInput(Lumo::Graphics::FragmentLibraryFile::FileName(), data, size);
    std::string error;
    const int count = Lumo::Graphics::FragmentLibraryFile::Load(file, &error);
    if (count < 0)
        Fuzz::Check(error.find(file.string()) != std::string::npos, "a file that does not load names itself");
    return 0;
}
