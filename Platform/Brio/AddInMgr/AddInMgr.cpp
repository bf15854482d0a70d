#include <Brio/AddInMgr/AddInMgr.h>

#include <Brio/AddInMgr/IAddIn.h>
#include <Brio/Base/StringConversion.h>

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <shared_mutex>

namespace Brio {

namespace {

struct Loaded {
    void* handle = nullptr;
    IAddIn* addIn = nullptr;
    std::filesystem::path library;
};

/// The loader's text for the last failure, or fallback when it has none.
std::wstring LoaderError(const char* fallback) {
    const char* text = dlerror();
    return Utility::toWide(text ? text : fallback);
}

} // namespace

struct AddInMgr::Impl {
    mutable std::shared_mutex mutex;
    std::map<std::string, bool> addIns; // id -> core
    std::map<std::string, Loaded> loaded;
    // Loading and unloading run add-in code, which may ask this manager: they are serialised
    // by their own lock, never under the registry's.
    std::mutex loading;
};

AddInMgr::AddInMgr() : m_impl(std::make_unique<Impl>()) {}

AddInMgr::~AddInMgr() = default;

AddInMgr& AddInMgr::get() {
    // Leaked: add-ins unloaded from static destructors may still ask.
    static AddInMgr* instance = new AddInMgr;
    return *instance;
}

bool AddInMgr::registerAddIn(const std::string& id, bool core) {
    if (id.empty())
        return false;
    std::unique_lock lock(m_impl->mutex);
    return m_impl->addIns.emplace(id, core).second;
}

bool AddInMgr::unregisterAddIn(const std::string& id) {
    std::unique_lock lock(m_impl->mutex);
    if (m_impl->loaded.count(id))
        return false;
    return m_impl->addIns.erase(id) != 0;
}

bool AddInMgr::isKnown(const std::string& id) const {
    std::shared_lock lock(m_impl->mutex);
    return m_impl->addIns.count(id) != 0;
}

bool AddInMgr::isCoreAddIn(const std::string& id) const {
    std::shared_lock lock(m_impl->mutex);
    auto it = m_impl->addIns.find(id);
    return it != m_impl->addIns.end() && it->second;
}

std::vector<std::string> AddInMgr::addInIds() const {
    std::shared_lock lock(m_impl->mutex);
    std::vector<std::string> out;
    for (const auto& entry : m_impl->addIns)
        out.push_back(entry.first);
    return out;
}

Status AddInMgr::loadAddIn(const std::string& id, const std::filesystem::path& library, bool core) {
    std::lock_guard loading(m_impl->loading);
    if (id.empty() || isKnown(id))
        return Status::error(eBadId, L"Add-in id is empty or already known: " + Utility::toWide(id));
    dlerror();
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return Status::error(eNoLibrary, LoaderError("cannot open the library"));
    auto entry = reinterpret_cast<GetIAddInFunction>(dlsym(handle, "GetIAddIn"));
    if (!entry) {
        Status status = Status::error(eNoEntry, LoaderError("the library exports no GetIAddIn"));
        dlclose(handle);
        return status;
    }
    IAddIn* addIn = entry();
    if (!addIn) {
        dlclose(handle);
        return Status::error(eNoAddIn, L"GetIAddIn answered no add-in: " + library.wstring());
    }
    {
        // The same library under a second id would be started twice.
        std::shared_lock lock(m_impl->mutex);
        for (const auto& [otherId, other] : m_impl->loaded)
            if (other.addIn == addIn) {
                dlclose(handle);
                return Status::error(eAlreadyLoaded, L"The add-in is loaded already as " + Utility::toWide(otherId));
            }
    }
    if (!addIn->load()) {
        dlclose(handle);
        return Status::error(eLoadFailed, L"The add-in failed to load: " + Utility::toWide(id));
    }
    std::unique_lock lock(m_impl->mutex);
    m_impl->addIns.emplace(id, core);
    m_impl->loaded.emplace(id, Loaded{handle, addIn, library});
    return Status::success();
}

Status AddInMgr::unloadAddIn(const std::string& id) {
    std::lock_guard loading(m_impl->loading);
    Loaded entry;
    {
        std::shared_lock lock(m_impl->mutex);
        auto it = m_impl->loaded.find(id);
        if (it == m_impl->loaded.end())
            return Status::error(eNotLoaded, L"No add-in was loaded under this id: " + Utility::toWide(id));
        entry = it->second;
    }
    if (!entry.addIn->unload())
        return Status::error(eUnloadFailed, L"The add-in failed to unload: " + Utility::toWide(id));
    {
        std::unique_lock lock(m_impl->mutex);
        m_impl->loaded.erase(id);
        m_impl->addIns.erase(id);
    }
    dlerror();
    if (dlclose(entry.handle) != 0)
        return Status::error(eCloseFailed, LoaderError("cannot close the library"));
    return Status::success();
}

IAddIn* AddInMgr::addIn(const std::string& id) const {
    std::shared_lock lock(m_impl->mutex);
    auto it = m_impl->loaded.find(id);
    return it == m_impl->loaded.end() ? nullptr : it->second.addIn;
}

std::filesystem::path AddInMgr::libraryPath(const std::string& id) const {
    std::shared_lock lock(m_impl->mutex);
    auto it = m_impl->loaded.find(id);
    return it == m_impl->loaded.end() ? std::filesystem::path() : it->second.library;
}

bool AddInMgr::isLibraryLoaded(const std::filesystem::path& library) {
    // RTLD_NOLOAD answers a handle only for a library already mapped, and counts it: give it back.
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle);
    return true;
}

} // namespace Brio
