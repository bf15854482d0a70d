// Host documents again, from their parts: the input names the archive's files (PartsFormat.h),
// they are zipped as a save would zip them, and the archive goes through Document::open.
#include "DocumentSupport.h"
#include "FuzzSupport.h"
#include "PartsFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Brio::ZipArchive::Parts parts = Fuzz::ReadParts(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string path = (Fuzz::ScratchDirectory() / "parts.brio").string();
    if (parts.empty() || Brio::ZipArchive::write(path, parts).failed())
        return 0; // names the archive cannot hold
    Fuzz::OpenDocument(path);
    return 0;
}
