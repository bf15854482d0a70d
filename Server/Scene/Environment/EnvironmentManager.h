#pragma once
#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Brio::Scene {

class Environment;

/// The process's environments: read from their definition files on first request and kept,
/// and which one is active, as the graphics option "environmentID" names it. Making an
/// environment active hands its cycling colours to node data and tells the
/// EnvironmentEventSource's sites.
class EnvironmentManager {
public:
    /// The process-wide manager, initialised; it lives until the process ends.
    static EnvironmentManager* getEnvManager();

    /// A manager of its own (the process-wide one is getEnvManager()); not yet initialised.
    EnvironmentManager();
    ~EnvironmentManager();
    EnvironmentManager(const EnvironmentManager&) = delete;
    EnvironmentManager& operator=(const EnvironmentManager&) = delete;

    /// Once: take the resource directory and the active id from the graphics options, follow
    /// that option from then on, and make the active environment's cycling colours those of
    /// node data. Answers true.
    bool initialize();
    bool initialized() const { return m_initialized.load(std::memory_order_acquire); }
    /// Deletes every environment; false when not initialised.
    bool release();

    /// The folder holding "Environments" (and "LayoutGrid"): the host's scene resource
    /// directory unless set otherwise.
    const std::filesystem::path& resourceDirectory() const { return m_resourceDirectory; }
    /// Environments read from then on come from this folder; those read already stay.
    void resourceDirectory(const std::filesystem::path& folder);

    /// Entries, including the empty ones of definitions that failed to load.
    int count() const;
    /// Null for an empty entry or an index out of range.
    Environment* item(int index) const;
    /// The first loaded environment of that id; else, with load, the result of
    /// loadEnvironment(id). An id that failed to load is read again (and listed again) only
    /// when its definition file has changed since: renderers ask for the active environment
    /// every frame.
    Environment* item(const std::wstring& id, bool load);
    /// item(activeEnvironmentID(), true).
    Environment* activeEnvironment();
    std::wstring activeEnvironmentID() const;
    /// Makes id active: stores it, sets the graphics option, installs its cycling colours and
    /// tells the sites of EnvironmentEventSource (with no event).
    void activeEnvironmentID(const std::wstring& id);
    /// Appends an environment; the manager owns it from here. Null is ignored.
    void add(Environment* environment);

    /// Reads resourceDirectory/Environments/<id>/<id>.xml. Null when the id cannot name a
    /// folder of its own (empty, "." or "..", a path separator), the file does not load, or its
    /// root element is not named id; lastError() then says why.
    Environment* loadEnvironment(const std::wstring& id);
    /// Why the last definition failed to load; empty after a success.
    std::wstring lastError() const;

private:
    void onEnvironmentOption(const std::wstring& id);
    void installCyclingPalette(Environment* environment);

    mutable std::recursive_mutex m_mutex;
    std::atomic<bool> m_initialized{false};
    std::filesystem::path m_resourceDirectory;
    std::vector<std::unique_ptr<Environment>> m_environments;
    /// Ids that failed to load, with their definition file's state then.
    struct Failure {
        std::wstring id;
        std::filesystem::file_time_type stamp;
    };
    std::vector<Failure> m_failed;
    std::filesystem::file_time_type definitionStamp(const std::wstring& id) const;
    std::wstring m_activeId;
    std::wstring m_lastError;
    int m_optionListener = 0;
};

} // namespace Brio::Scene
