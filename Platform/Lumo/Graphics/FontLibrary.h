#pragma once
#include <Lumo/Graphics/FontFace.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/Mutex.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Lumo::Text {

/// Finds fonts by family name and style and keeps the opened faces. The font folders are
/// indexed on first use (family, weight, slant and width of every scalable font file).
/// A request that cannot be met falls back to the same style of the default family, then to
/// the default font file; only when no font at all can be opened is the answer null.
/// All operations lock the library, so it may be shared between threads.
class FontLibrary : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    /// Debian's fonts-dejavu-core regular face.
    static const char* SystemDefaultFontFile() { return "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"; }
    /// The system's font folders.
    static std::vector<std::string> SystemFontFolders();

    /// A library over the system's folders with DejaVu Sans as the default.
    static FontLibrary* Make();
    static FontLibrary* Make(std::string defaultFontFile, std::vector<std::string> folders);
    ~FontLibrary() override;

    const std::string& DefaultFontFile() const { return m_defaultFile; }

    /// The best face for a family and style (see the class comment). Family names compare
    /// without case; "sans", "sans-serif", "serif", "mono" and "monospace" name the DejaVu
    /// families, and an empty name the default family.
    Lumo::Objects::AutoPtr<FontFace> Find(std::wstring_view family, bool bold = false, bool italic = false);
    /// The default font file's face; null when it cannot be opened.
    Lumo::Objects::AutoPtr<FontFace> DefaultFace();

    /// Makes a font file known under a family name of the caller's choosing (its style is read
    /// from the file). False, and nothing registered, when the file cannot be opened.
    bool RegisterFont(std::wstring_view family, const std::string& path);

    /// Families found in the folders and registered, in lower case.
    std::vector<std::wstring> Families();
    /// Faces opened so far.
    int OpenFaceCount();

private:
    struct Entry {
        std::string path;
        int index = 0;
        bool bold = false, italic = false;
        int weight = 400, widthClass = 5;
    };

    FontLibrary(std::string defaultFontFile, std::vector<std::string> folders);
    void EnsureIndexed();
    void AddEntry(const std::wstring& family, const FontFace& face);
    Lumo::Objects::AutoPtr<FontFace> OpenCached(const std::string& path, int index);
    Lumo::Objects::AutoPtr<FontFace> BestOf(const std::wstring& family, bool bold, bool italic);

    Lumo::Objects::Threads::Mutex m_mutex;
    std::shared_ptr<FontEngine> m_engine;
    std::string m_defaultFile;
    std::vector<std::string> m_folders;
    bool m_indexed = false;
    std::map<std::wstring, std::vector<Entry>> m_families;
    std::map<std::pair<std::string, int>, Lumo::Objects::AutoPtr<FontFace>> m_faces;
};

} // namespace Lumo::Text
