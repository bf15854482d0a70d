// Host documents again, from their parts: the input names the archive's files (PartsFormat.h),
// they are zipped as a save would zip them, and the archive goes through Document::open.
#include "FuzzSupport.h"
#include "PartsFormat.h"

#include <Host/Document/Document.h>
#include <Scene/Change/ObjectManager.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Brio::ZipArchive::Parts parts = Fuzz::ReadParts(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string path = (Fuzz::ScratchDirectory() / "parts.brio").string();
    if (parts.empty() || Brio::ZipArchive::write(path, parts).failed())
        return 0; // names the archive cannot hold
    std::string error;
    std::unique_ptr<Host::Document> doc = Host::Document::open(path, error);
    if (!doc) {
        Fuzz::Check(error.find(path) != std::string::npos, "a document that does not open names its file");
    } else {
        if (doc->hasCamera())
            doc->camera();
        doc->showModel();
    }
    doc.reset();
    // The host's next sync applies what the document posted and lets it go, as the program's
    // event loop does; without it every input's changes would pile up.
    Brio::Scene::ObjectManager::get()->syncChanges();
    return 0;
}
