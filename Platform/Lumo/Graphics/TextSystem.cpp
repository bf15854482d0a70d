#include <Lumo/Graphics/TextSystem.h>
#include <Lumo/Objects/Mutex.h>

namespace Lumo::Text {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::Threads::Mutex;
using Lumo::Objects::Threads::MutexLocker;

namespace {
Mutex g_mutex;
AutoPtr<FontLibrary>& Shared() {
    // Faces share the rasteriser with their library, so nodes that outlive this are still safe.
    static AutoPtr<FontLibrary> library;
    return library;
}
} // namespace

AutoPtr<FontLibrary> TextSystem::Library() {
    MutexLocker lock(g_mutex);
    AutoPtr<FontLibrary>& library = Shared();
    if (!library)
        library = FontLibrary::Make();
    return library;
}

void TextSystem::Release() {
    AutoPtr<FontLibrary> old;
    {
        MutexLocker lock(g_mutex);
        old = std::move(Shared());
    }
}

} // namespace Lumo::Text
