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
