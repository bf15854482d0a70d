#pragma once
#include <filesystem>
#include <string>

namespace Brio {

/// User-facing texts by message key. Each caller names its area ("BrioScene" for the scene
/// library) and passes the English text, which is the answer unless a translation exists.
/// Translations come from "<directory>/<locale>/<area>.xml" (for "de-DE" also from
/// "<directory>/de/<area>.xml"), read once per area and locale:
///
///     <StringTable>
///       <String key="GraphicsOptionsUserName">Grafik</String>
///     </StringTable>
///
/// A missing file gives the English defaults; a malformed one too, reported once on the
/// standard error stream. Strings set in code win over both.
class StringTable {
public:
    static std::wstring getLocalizedString(const std::wstring& area, const std::wstring& key,
                                           const std::wstring& englishDefault);

    /// The locale translations are looked up for, as "de-DE": the one set, else the first of
    /// LC_ALL, LC_MESSAGES and LANG that is set ("de_DE.UTF-8" reads "de-DE"), else "en-US"
    /// (also for "C" and "POSIX").
    static std::wstring locale();
    /// An empty locale restores the environment's. Loaded translations are dropped.
    static void locale(const std::wstring& name);

    /// The folder of the translation files: the one set, else PathInfo::localizationDirectory()
    /// joined with "Strings".
    static std::filesystem::path directory();
    /// An empty path restores the default. Loaded translations are dropped.
    static void directory(const std::filesystem::path& folder);

    /// A text for key in area that wins over files and defaults, in every locale.
    static void setString(const std::wstring& area, const std::wstring& key, const std::wstring& text);
    /// Drops the strings set in code and the loaded translations (files are read again).
    static void reset();
};

} // namespace Brio
