// Host documents (zip archives of XML segments, blobs and the model part) through
// Document::open, then shown as the program shows an opened document.
#include "FuzzSupport.h"

#include <Host/Document/Document.h>
#include <Scene/Change/ObjectManager.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = Fuzz::WriteInput("input.brio", data, size).string();
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
