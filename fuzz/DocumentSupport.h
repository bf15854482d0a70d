#pragma once
// What both document targets do with a file: open it as the program does, show it, and let the
// host's next sync apply what it posted.
#include "FuzzSupport.h"

#include <Host/Document/Document.h>
#include <Scene/Change/ObjectManager.h>

#include <memory>
#include <string>

namespace Fuzz {

inline void OpenDocument(const std::string& path) {
    std::string error;
    std::unique_ptr<Host::Document> doc = Host::Document::open(path, error);
    if (!doc) {
        Check(error.find(path) != std::string::npos, "a document that does not open names its file");
    } else {
        if (doc->hasCamera())
            doc->camera();
        doc->showModel();
    }
    doc.reset();
    // The program's event loop syncs after each event; without it every input's changes would
    // pile up.
    Brio::Scene::ObjectManager::get()->syncChanges();
}

} // namespace Fuzz
