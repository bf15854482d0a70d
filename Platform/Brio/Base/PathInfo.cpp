#include <Brio/Base/PathInfo.h>

#include <dlfcn.h>

#include <cstdlib>
#include <system_error>

namespace Brio {

namespace fs = std::filesystem;

fs::path PathInfo::localizationDirectory()
{
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

fs::path PathInfo::coreAddInDirectory()
{
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

fs::path PathInfo::sceneResourceDirectory()
{
    fs::path root = localizationDirectory();
    return root.empty() ? root : root / "Server" / "Scene" / "Resources";
}

} // namespace Brio
