#include <Lumo/Graphics/FontLibrary.h>
#include <Lumo/Graphics/TextStyle.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <system_error>

namespace Lumo::Text {

using Lumo::Objects::AutoPtr;
using Lumo::Objects::Threads::MutexLocker;

namespace {

std::wstring Lower(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

/// Generic names people type instead of a family.
std::wstring ResolveAlias(const std::wstring& lower) {
    if (lower.empty() || lower == L"sans" || lower == L"sans-serif")
        return L"dejavu sans";
    if (lower == L"serif")
        return L"dejavu serif";
    if (lower == L"mono" || lower == L"monospace")
        return L"dejavu sans mono";
    return lower;
}

bool IsFontFile(const std::filesystem::path& p) {
    std::string ext = p.extension().string();
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".ttf" || ext == ".otf" || ext == ".ttc" || ext == ".otc";
}

} // namespace

LUMO_DEFINE_CLASS(FontLibrary, ARefCounted)

std::vector<std::string> FontLibrary::SystemFontFolders() {
    std::vector<std::string> folders{"/usr/share/fonts", "/usr/local/share/fonts"};
    if (const char* home = std::getenv("HOME"); home && *home) {
        folders.push_back(std::string(home) + "/.local/share/fonts");
        folders.push_back(std::string(home) + "/.fonts");
    }
    return folders;
}

FontLibrary* FontLibrary::Make() {
    return new FontLibrary(SystemDefaultFontFile(), SystemFontFolders());
}

FontLibrary* FontLibrary::Make(std::string defaultFontFile, std::vector<std::string> folders) {
    return new FontLibrary(std::move(defaultFontFile), std::move(folders));
}

FontLibrary::FontLibrary(std::string defaultFontFile, std::vector<std::string> folders)
    : m_engine(FontFace::NewEngine()), m_defaultFile(std::move(defaultFontFile)), m_folders(std::move(folders)) {}

FontLibrary::~FontLibrary() = default;

void FontLibrary::AddEntry(const std::wstring& family, const FontFace& face) {
    m_families[family].push_back(
        {face.FilePath(), face.FaceIndex(), face.Bold(), face.Italic(), face.Weight(), face.WidthClass()});
}

void FontLibrary::EnsureIndexed() {
    if (m_indexed)
        return;
    m_indexed = true;
    if (!m_engine)
        return;
    std::vector<std::string> files;
    for (const std::string& folder : m_folders) {
        std::error_code ec;
        std::filesystem::recursive_directory_iterator it(
            folder, std::filesystem::directory_options::skip_permission_denied, ec);
        for (; !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_regular_file(ec) && IsFontFile(it->path()))
                files.push_back(it->path().string());
        }
    }
    // Sorted, so that equally good candidates are chosen the same way on every machine.
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    for (const std::string& file : files) {
        const int count = FontFace::FaceCount(m_engine, file);
        for (int i = 0; i < count; ++i) {
            // Opened only to read the names; the face is closed again at once.
            AutoPtr<FontFace> face(FontFace::Open(m_engine, file, i));
            if (face)
                AddEntry(Lower(face->FamilyName()), *face);
        }
    }
}

AutoPtr<FontFace> FontLibrary::OpenCached(const std::string& path, int index) {
    const auto key = std::make_pair(path, index);
    if (auto it = m_faces.find(key); it != m_faces.end())
        return it->second;
    AutoPtr<FontFace> face(FontFace::Open(m_engine, path, index));
    // A failure is not remembered: the file may appear later.
    if (face)
        m_faces.emplace(key, face);
    return face;
}

AutoPtr<FontFace> FontLibrary::BestOf(const std::wstring& family, bool bold, bool italic) {
    auto it = m_families.find(family);
    if (it == m_families.end())
        return nullptr;
    // Slant matters most, then weight, then width: an oblique regular is closer to a wanted
    // italic than an upright one, and a condensed face is the last choice for a normal one.
    std::vector<const Entry*> ranked;
    for (const Entry& e : it->second)
        ranked.push_back(&e);
    auto score = [&](const Entry* e) {
        const int target = bold ? 700 : 400;
        return (e->italic != italic ? 100000 : 0) + std::abs(e->weight - target) * 10 + std::abs(e->widthClass - 5);
    };
    std::stable_sort(ranked.begin(), ranked.end(), [&](const Entry* a, const Entry* b) { return score(a) < score(b); });
    for (const Entry* e : ranked)
        if (AutoPtr<FontFace> face = OpenCached(e->path, e->index))
            return face;
    return nullptr;
}

AutoPtr<FontFace> FontLibrary::Find(std::wstring_view family, bool bold, bool italic) {
    MutexLocker lock(m_mutex);
    if (!m_engine)
        return nullptr;
    const std::wstring wanted = ResolveAlias(Lower(family));
    // Registered families first, so they need no folder scan.
    if (m_families.count(wanted))
        if (AutoPtr<FontFace> face = BestOf(wanted, bold, italic))
            return face;
    EnsureIndexed();
    if (AutoPtr<FontFace> face = BestOf(wanted, bold, italic))
        return face;
    // The default file's family in the wanted style, else the default file itself.
    if (AutoPtr<FontFace> def = OpenCached(m_defaultFile, 0)) {
        if (AutoPtr<FontFace> face = BestOf(Lower(def->FamilyName()), bold, italic))
            return face;
        return def;
    }
    if (AutoPtr<FontFace> face = BestOf(Lower(TextStyle::DefaultFontFamily()), bold, italic))
        return face;
    // Any readable font beats no text at all.
    for (const auto& [name, entries] : m_families)
        if (AutoPtr<FontFace> face = BestOf(name, bold, italic))
            return face;
    return nullptr;
}

AutoPtr<FontFace> FontLibrary::DefaultFace() {
    MutexLocker lock(m_mutex);
    if (!m_engine)
        return nullptr;
    return OpenCached(m_defaultFile, 0);
}

bool FontLibrary::RegisterFont(std::wstring_view family, const std::string& path) {
    MutexLocker lock(m_mutex);
    if (!m_engine)
        return false;
    const int count = FontFace::FaceCount(m_engine, path);
    bool any = false;
    for (int i = 0; i < count; ++i) {
        if (AutoPtr<FontFace> face = OpenCached(path, i)) {
            AddEntry(Lower(family), *face);
            any = true;
        }
    }
    return any;
}

std::vector<std::wstring> FontLibrary::Families() {
    MutexLocker lock(m_mutex);
    EnsureIndexed();
    std::vector<std::wstring> out;
    for (const auto& [name, entries] : m_families)
        out.push_back(name);
    return out;
}

int FontLibrary::OpenFaceCount() {
    MutexLocker lock(m_mutex);
    return static_cast<int>(m_faces.size());
}

} // namespace Lumo::Text
