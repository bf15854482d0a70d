#pragma once
#include <filesystem>

namespace Brio {

/// Where the running installation keeps its files. Both the build tree and the install tree
/// are valid layouts: resources sit in <library directory>/../share/brioscene.
class PathInfo
{
public:
    /// The folder holding "Server/Scene/Resources": BRIOSCENE_RESOURCE_ROOT when set and not
    /// empty (the override for tests), else <coreAddInDirectory>/../share/brioscene.
    static std::filesystem::path localizationDirectory();
    /// The directory of the BrioBase shared library (empty when it cannot be found).
    static std::filesystem::path coreAddInDirectory();
    /// localizationDirectory joined with "Server/Scene/Resources".
    static std::filesystem::path sceneResourceDirectory();
};

} // namespace Brio
