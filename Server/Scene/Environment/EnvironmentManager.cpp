#include <Scene/Environment/EnvironmentManager.h>

#include <algorithm>

#include <Brio/Base/Option.h>
#include <Brio/Base/PathInfo.h>
#include <Brio/Base/XMLDocument.h>
#include <Brio/Types/Color.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Environment/Environment.h>
#include <Scene/Environment/EnvironmentEventSource.h>
#include <Scene/Environment/EnvironmentReader.h>
#include <Scene/Foundations/AddInStaticInternal.h>
#include <Scene/View/GraphicsOptionGroup.h>

namespace Brio::Scene {

namespace {

/// The active environment's cycling colours as node data draws from them: a copy, so that
/// node data never reaches into an environment that may be released meanwhile.
struct CyclingSnapshot {
    std::mutex mutex;
    std::vector<Brio::Color> colors;
};

CyclingSnapshot& Snapshot() {
    static AddInStatic<CyclingSnapshot> snapshot; // read by node data until the add-in stops
    return *snapshot;
}

Brio::Color ActiveCyclingColor(int index) {
    CyclingSnapshot& s = Snapshot();
    std::lock_guard lock(s.mutex);
    const int n = int(s.colors.size());
    return n == 0 ? Brio::Color() : s.colors[std::size_t(((index % n) + n) % n)];
}

/// An id names one folder directly below "Environments" and nothing else.
bool IsSafeId(const std::wstring& id) {
    if (id.empty() || id == L"." || id == L"..")
        return false;
    for (wchar_t c : id)
        if (c == L'/' || c == L'\\' || c == L'\0' || c == L':')
            return false;
    return true;
}

} // namespace

EnvironmentManager* EnvironmentManager::getEnvManager() {
    // Not destroyed at exit: environments hold render nodes and host entities whose kinds are
    // torn down with the libraries, in an order a static here could not follow. The options
    // come first, so that they outlive the manager that listens to them.
    GraphicsOptionGroup::get();
    static AddInStatic<EnvironmentManager> manager;
    manager->initialize();
    return &*manager;
}

EnvironmentManager::EnvironmentManager() = default;

EnvironmentManager::~EnvironmentManager() {
    if (m_optionListener)
        if (Brio::OptionBase* option = GraphicsOptionGroup::get()->option("EnvironmentIDId"))
            option->removeListener(m_optionListener);
}

bool EnvironmentManager::initialize() {
    if (m_initialized.load(std::memory_order_acquire))
        return true;
    {
        std::lock_guard lock(m_mutex);
        if (m_initialized.load(std::memory_order_relaxed))
            return true;
        if (m_resourceDirectory.empty())
            m_resourceDirectory = Brio::PathInfo::sceneResourceDirectory();
        GraphicsOptionGroup* options = GraphicsOptionGroup::get();
        m_activeId = options->environmentID();
        if (Brio::OptionBase* option = options->option("EnvironmentIDId"))
            m_optionListener = option->addListener([this](Brio::OptionBase& changed) {
                if (auto* text = dynamic_cast<Brio::Option<std::wstring>*>(&changed))
                    onEnvironmentOption(text->value());
            });
        // Set before the active environment is read: what it makes may ask for the manager.
        m_initialized.store(true, std::memory_order_release);
    }
    installCyclingPalette(activeEnvironment());
    return true;
}

bool EnvironmentManager::release() {
    std::vector<std::unique_ptr<Environment>> gone;
    {
        std::lock_guard lock(m_mutex);
        if (!m_initialized.load(std::memory_order_relaxed))
            return false;
        gone.swap(m_environments);
        m_failed.clear();
    }
    return true; // deleted here, outside the lock
}

void EnvironmentManager::resourceDirectory(const std::filesystem::path& folder) {
    std::lock_guard lock(m_mutex);
    m_resourceDirectory = folder;
    m_failed.clear(); // another folder may hold them
}

int EnvironmentManager::count() const {
    std::lock_guard lock(m_mutex);
    return int(m_environments.size());
}

Environment* EnvironmentManager::item(int index) const {
    std::lock_guard lock(m_mutex);
    return index >= 0 && index < int(m_environments.size()) ? m_environments[std::size_t(index)].get() : nullptr;
}

Environment* EnvironmentManager::item(const std::wstring& id, bool load) {
    std::lock_guard lock(m_mutex);
    for (const auto& e : m_environments)
        if (e && e->id() == id)
            return e.get();
    if (!load)
        return nullptr;
    const std::filesystem::file_time_type stamp = definitionStamp(id);
    auto failed = std::find_if(m_failed.begin(), m_failed.end(), [&](const Failure& f) { return f.id == id; });
    if (failed != m_failed.end() && failed->stamp == stamp)
        return nullptr; // unchanged since it failed
    std::unique_ptr<Environment> loaded(loadEnvironment(id));
    if (!loaded) {
        if (failed != m_failed.end())
            failed->stamp = stamp;
        else
            m_failed.push_back({id, stamp});
        m_environments.emplace_back(); // the empty entry
        return nullptr;
    }
    if (failed != m_failed.end())
        m_failed.erase(failed);
    m_environments.push_back(std::move(loaded));
    return m_environments.back().get();
}

Environment* EnvironmentManager::activeEnvironment() {
    return item(activeEnvironmentID(), true);
}

std::wstring EnvironmentManager::activeEnvironmentID() const {
    std::lock_guard lock(m_mutex);
    return m_activeId;
}

void EnvironmentManager::activeEnvironmentID(const std::wstring& id) {
    {
        std::lock_guard lock(m_mutex);
        m_activeId = id;
    }
    // The option's listener finds the id stored already and does nothing more.
    GraphicsOptionGroup::get()->environmentID(id);
    installCyclingPalette(activeEnvironment());
    EnvironmentEventSource::get()->fireActiveEnvironmentChanged(nullptr);
}

void EnvironmentManager::onEnvironmentOption(const std::wstring& id) {
    {
        std::lock_guard lock(m_mutex);
        if (id == m_activeId)
            return;
        m_activeId = id;
    }
    installCyclingPalette(activeEnvironment());
    EnvironmentEventSource::get()->fireActiveEnvironmentChanged(nullptr);
}

void EnvironmentManager::add(Environment* environment) {
    if (!environment)
        return;
    std::lock_guard lock(m_mutex);
    m_environments.emplace_back(environment);
}

std::filesystem::file_time_type EnvironmentManager::definitionStamp(const std::wstring& id) const {
    std::error_code ec;
    if (!IsSafeId(id))
        return {};
    auto stamp = std::filesystem::last_write_time(m_resourceDirectory / "Environments" / id / (id + L".xml"), ec);
    return ec ? std::filesystem::file_time_type{} : stamp; // a missing file has the zero stamp
}

Environment* EnvironmentManager::loadEnvironment(const std::wstring& id) {
    std::lock_guard lock(m_mutex);
    if (!IsSafeId(id)) {
        m_lastError = L"\"" + id + L"\" cannot name an environment";
        return nullptr;
    }
    const std::filesystem::path folder = m_resourceDirectory / "Environments" / id;
    const std::filesystem::path file = folder / (id + L".xml");
    Brio::XMLDocument document;
    const Brio::Status status = document.load(file);
    if (status.failed()) {
        m_lastError = status.message();
        return nullptr;
    }
    if (document.root().name().wide() != id) {
        m_lastError = file.wstring() + L": the root element is not named " + id;
        return nullptr;
    }
    auto environment = std::make_unique<Environment>(id);
    environment->directory(folder);
    EnvironmentReader::readDefinition(document.root(), *environment);
    environment->addStyleSheetAndCmdStrings(m_resourceDirectory);
    m_lastError.clear();
    return environment.release();
}

std::wstring EnvironmentManager::lastError() const {
    std::lock_guard lock(m_mutex);
    return m_lastError;
}

void EnvironmentManager::installCyclingPalette(Environment* environment) {
    std::vector<Brio::Color> colors;
    if (environment)
        for (int i = 0; i < environment->cyclingColorCount(); ++i)
            colors.push_back(environment->cyclingColor(i));
    const int count = int(colors.size());
    {
        CyclingSnapshot& s = Snapshot();
        std::lock_guard lock(s.mutex);
        s.colors.swap(colors);
    }
    // Without colours of its own an environment leaves node data its standard palette.
    NodeData::cyclingPalette(count > 0 ? &ActiveCyclingColor : nullptr, count);
}

} // namespace Brio::Scene
