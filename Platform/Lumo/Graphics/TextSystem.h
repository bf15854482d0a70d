#pragma once
#include <Lumo/Graphics/FontLibrary.h>
#include <Lumo/Objects/AutoPtr.h>

namespace Lumo::Text {

/// The process's text machinery: the shared font library that text nodes use unless given
/// their own.
class TextSystem {
public:
    /// The shared library, made on first use.
    static Lumo::Objects::AutoPtr<FontLibrary> Library();
    /// Drops the shared library and the fonts it caches. Faces still held by text nodes stay
    /// valid; the next use makes a new library.
    static void Release();
};

} // namespace Lumo::Text
