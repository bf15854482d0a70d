#pragma once
#include <Brio/Base/Status.h>
#include <Brio/Types/Color.h>
#include <Scene/Attributes/AmbraAsset.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Brio {

/// The host's visual material library: materials by identifier, read from an XML file in
/// the scene resources ("Materials/MaterialLibrary.xml") on first use. A missing or
/// malformed file is logged and reported by LibraryStatus; the manager then answers with
/// its built-in default front face only, so drawing goes on.
class AmbraManager {
public:
    /// The process-wide manager (never null). With load true the library is read now when
    /// it is not loaded yet.
    static AmbraManager* GetAmbraManager(bool load = true);
    /// "<scene resources>/Materials/MaterialLibrary.xml".
    static std::filesystem::path DefaultLibraryPath();
    /// The default front face used when nothing can be read ("Paint-015").
    static AmbraAsset BuiltInDefaultFrontFace();

    /// Reads a library file in place of the current one. Errors are logged and returned.
    Status LoadLibrary(const std::filesystem::path& file);
    /// Forgets the loaded library; the next use reads the default file again.
    void ReleaseLib();
    bool IsLoaded();
    /// The outcome of the last read: success, a warning when entries were skipped, or the error.
    Status LibraryStatus();

    /// The loaded library's id; 0 when no library could be read.
    int VisualLibraryId();
    /// The material of that library and identifier, with the customized colour (when asked),
    /// rotation and scale applied; none when the library or the identifier is unknown.
    std::optional<AmbraAsset> GetAssetInstance(int libraryId, const std::string& identifier, bool useCustomizedColor,
                                               const Color& color, float rotation, float scale);
    /// The library's default front face (its own when it names one it holds, else the built-in
    /// one), with the customized colour applied when asked.
    AmbraAsset DefaultFrontFace(bool useCustomizedColor, const Color& color);
    std::string DefaultFrontFaceId();
    /// Identifiers of the loaded materials, sorted.
    std::vector<std::string> Identifiers();

    AmbraManager(const AmbraManager&) = delete;
    AmbraManager& operator=(const AmbraManager&) = delete;

private:
    AmbraManager() = default;
    void EnsureLoaded();
    Status Load(const std::filesystem::path& file);
    static void ApplyColor(AmbraAsset& asset, const Color& color);

    std::recursive_mutex m_mutex;
    bool m_loaded = false;
    Status m_status;
    int m_libraryId = 0;
    std::string m_defaultFrontFace;
    std::map<std::string, AmbraAsset> m_materials;
};

} // namespace Brio
