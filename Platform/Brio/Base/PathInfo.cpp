#include <Brio/Base/PathInfo.h>

#include <dlfcn.h>

#include <cstdlib>
#include <mutex>
#include <system_error>

namespace Brio {

namespace fs = std::filesystem;

fs::path PathInfo::localizationDirectory() {
    if (const char* root = std::getenv("BRIOSCENE_RESOURCE_ROOT"); root && *root)
        return fs::path(root);
    fs::path lib = coreAddInDirectory();
    if (lib.empty())
        return {};
    // <prefix>/lib or a multiarch <prefix>/lib/<triplet>: the shared folder is one or two up.
    std::error_code ec;
    for (fs::path up = lib.parent_path(); !up.empty(); up = up.parent_path()) {
        fs::path candidate = up / "share" / "brioscene";
        if (fs::is_directory(candidate, ec))
            return candidate.lexically_normal();
        if (up == lib.parent_path().parent_path() || up == up.root_path())
            break;
    }
    return (lib / ".." / "share" / "brioscene").lexically_normal();
}

fs::path PathInfo::coreAddInDirectory() {
    // Our own address tells the loader which file we came from, wherever it was installed.
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&PathInfo::coreAddInDirectory), &info) || !info.dli_fname)
        return {};
    std::error_code ec;
    fs::path file = fs::canonical(fs::path(info.dli_fname), ec);
    if (ec)
        file = fs::absolute(fs::path(info.dli_fname), ec);
    return file.parent_path();
}

fs::path PathInfo::sceneResourceDirectory() {
    fs::path root = localizationDirectory();
    return root.empty() ? root : root / "Server" / "Scene" / "Resources";
}

namespace {
std::mutex g_optionsMutex;
fs::path& OptionsOverride() {
    static fs::path* directory = new fs::path; // read by option groups that outlive statics
    return *directory;
}
} // namespace

fs::path PathInfo::optionsDirectory(int create) {
    fs::path dir;
    {
        std::lock_guard lock(g_optionsMutex);
        dir = OptionsOverride();
    }
    if (dir.empty()) {
        if (const char* env = std::getenv("BRIOSCENE_OPTIONS_DIR"); env && *env)
            dir = env;
        else if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
            dir = fs::path(config) / "brioscene";
        else if (const char* home = std::getenv("HOME"); home && *home)
            dir = fs::path(home) / ".config" / "brioscene";
        else {
            std::error_code ec;
            fs::path temp = fs::temp_directory_path(ec);
            dir = (ec ? fs::path("/tmp") : temp) / "brioscene-options";
        }
    }
    if (create) {
        std::error_code ec;
        fs::create_directories(dir, ec);
    }
    return dir;
}

void PathInfo::optionsDirectory(const fs::path& directory) {
    std::lock_guard lock(g_optionsMutex);
    OptionsOverride() = directory;
}

} // namespace Brio
