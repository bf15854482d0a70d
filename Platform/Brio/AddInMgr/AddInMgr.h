#pragma once
#include <Brio/Base/Status.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace Brio {

class IAddIn;

/// The host's registry of add-ins: which are known and which of them are core add-ins, those
/// shipped with the host whose entity kinds count as the host's own. The host registers an
/// add-in when it loads it, either by itself or through loadAddIn, which also opens the
/// add-in's library, starts the add-in and later stops it and closes the library.
class AddInMgr {
public:
    /// Status codes of loadAddIn and unloadAddIn.
    enum EError : int {
        eBadId = 1,         ///< empty id, or one already known
        eNoLibrary = 2,     ///< the library cannot be opened (the message holds the loader's text)
        eNoEntry = 3,       ///< the library exports no GetIAddIn
        eNoAddIn = 4,       ///< GetIAddIn answered null
        eLoadFailed = 5,    ///< the add-in's load operation answered false
        eNotLoaded = 6,     ///< no add-in of that id was loaded through the manager
        eUnloadFailed = 7,  ///< the add-in's unload operation answered false
        eCloseFailed = 8,   ///< the library could not be closed
        eAlreadyLoaded = 9, ///< the library's add-in is loaded already, under another id
    };

    static AddInMgr& get();

    /// False, changing nothing, for an empty id or one already known.
    bool registerAddIn(const std::string& id, bool core);
    /// False when the id was not known, or when the add-in was loaded through loadAddIn
    /// (unloadAddIn forgets those).
    bool unregisterAddIn(const std::string& id);

    bool isKnown(const std::string& id) const;
    /// False for an add-in that is not known.
    bool isCoreAddIn(const std::string& id) const;
    /// Ordered by id.
    std::vector<std::string> addInIds() const;

    /// Opens the shared library, takes the add-in from its C entry `GetIAddIn`, runs the
    /// add-in's load operation and registers it under id. On any failure the library is
    /// closed again, nothing is registered, and the status says why. Loading and unloading
    /// are serialised; an add-in's own load or unload must not load or unload add-ins.
    Status loadAddIn(const std::string& id, const std::filesystem::path& library, bool core = false);
    /// Runs the add-in's unload operation, forgets it and closes its library. When the unload
    /// operation fails the add-in stays loaded and registered.
    Status unloadAddIn(const std::string& id);
    /// The add-in loaded under id through loadAddIn, or null.
    IAddIn* addIn(const std::string& id) const;
    /// The library the add-in of that id was loaded from; empty when none.
    std::filesystem::path libraryPath(const std::string& id) const;

    /// Whether a shared library of that path is mapped into the process now. Asking does
    /// not open it; a library that stays mapped after its add-in was unloaded is still held
    /// by something (another opener, or symbols the loader will not release).
    static bool isLibraryLoaded(const std::filesystem::path& library);

    AddInMgr(const AddInMgr&) = delete;
    AddInMgr& operator=(const AddInMgr&) = delete;

private:
    AddInMgr();
    ~AddInMgr();
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace Brio
