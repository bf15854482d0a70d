// Host documents (zip archives of XML segments, blobs and the model part) through
// Document::open, then shown as the program shows an opened document.
#include "DocumentSupport.h"
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Fuzz::WriteInput("input.brio", data, size).string();
    Fuzz::OpenDocument(path);
    return 0;
}
