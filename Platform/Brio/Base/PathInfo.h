#pragma once
#include <filesystem>

namespace Brio {

/// Where the running installation keeps its files. Both the build tree and the install tree
/// are valid layouts: resources sit in <library directory>/../share/brioscene.
class PathInfo {
public:
    /// The folder holding "Server/Scene/Resources": BRIOSCENE_RESOURCE_ROOT when set and not
    /// empty (the override for tests), else <coreAddInDirectory>/../share/brioscene.
    static std::filesystem::path localizationDirectory();
    /// The directory of the BrioBase shared library (empty when it cannot be found).
    static std::filesystem::path coreAddInDirectory();
    /// localizationDirectory joined with "Server/Scene/Resources".
    static std::filesystem::path sceneResourceDirectory();

    /// Where option groups keep their files: the folder set by optionsDirectory(path) when
    /// one is set, else BRIOSCENE_OPTIONS_DIR when set and not empty, else
    /// $XDG_CONFIG_HOME/brioscene, else $HOME/.config/brioscene. With create not 0 the
    /// folder is made when missing (a failure is left for the writer to report).
    static std::filesystem::path optionsDirectory(int create);
    /// Sets the folder for option files (tests point it at a folder of their own); an empty
    /// path restores the default search.
    static void optionsDirectory(const std::filesystem::path& directory);
};

} // namespace Brio
