#include <Brio/Base/OptionGroup.h>

#include <Brio/Base/PathInfo.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/Base/XMLDocument.h>

#include <algorithm>
#include <system_error>

namespace Brio {

namespace fs = std::filesystem;

namespace {
enum EOptionStatus { eNotOptionsFile = 10, eBadValue = 11, eKeptCorrupt = 12, eCannotCreateFolder = 13 };

struct Registry {
    std::mutex mutex;
    std::vector<OptionGroup*> groups;
    std::mutex fileMutex; // groups sharing a file read and rewrite it one at a time
};
Registry& GetRegistry() {
    static Registry* registry = new Registry; // groups of unloading libraries may outlive statics
    return *registry;
}

std::wstring PathText(const fs::path& p) {
    return Utility::toWide(p.string());
}
} // namespace

OptionGroup::OptionGroup(std::string id, LocalizedString userName, LocalizedString toolTip)
    : m_id(std::move(id)), m_userName(std::move(userName)), m_toolTip(std::move(toolTip)) {
    Registry& r = GetRegistry();
    std::lock_guard lock(r.mutex);
    r.groups.push_back(this);
}

OptionGroup::~OptionGroup() {
    {
        Registry& r = GetRegistry();
        std::lock_guard lock(r.mutex);
        std::erase(r.groups, this);
    }
    std::lock_guard lock(m_mutex);
    for (OptionBase* o : m_options) {
        std::lock_guard optionLock(o->m_mutex);
        o->m_group = nullptr;
    }
}

std::vector<OptionBase*> OptionGroup::options() const {
    std::lock_guard lock(m_mutex);
    return m_options;
}

OptionBase* OptionGroup::option(std::string_view optionId) const {
    std::lock_guard lock(m_mutex);
    for (OptionBase* o : m_options)
        if (o->id() == optionId)
            return o;
    return nullptr;
}

void OptionGroup::add(OptionBase& option) {
    std::string stored;
    bool has = false;
    {
        std::lock_guard lock(m_mutex);
        m_options.push_back(&option);
        if (auto it = m_stored.find(option.id()); it != m_stored.end()) {
            stored = std::move(it->second);
            m_stored.erase(it);
            has = true;
        }
    }
    if (has && !option.valueText(stored)) {
        std::lock_guard lock(m_mutex);
        m_stored.emplace(option.id(), stored); // unreadable for this type: kept as it was
    }
}

void OptionGroup::remove(OptionBase& option) {
    std::lock_guard lock(m_mutex);
    if (std::erase(m_options, &option))
        m_stored[option.id()] = option.valueText();
}

void OptionGroup::optionChanged(OptionBase& option) {
    {
        std::lock_guard lock(m_mutex);
        m_modified = true;
    }
    m_listeners.call(option);
}

fs::path OptionGroup::persistFile() const {
    {
        std::lock_guard lock(m_mutex);
        if (!m_persistFile.empty())
            return m_persistFile;
    }
    return onPersistFile();
}

void OptionGroup::persistFile(const fs::path& file) {
    std::lock_guard lock(m_mutex);
    m_persistFile = file;
}

fs::path OptionGroup::onPersistFile() const {
    return PathInfo::optionsDirectory(0) / (m_id + ".xml");
}

std::wstring OptionGroup::serverOptionFileName() {
    return L"ServerOptions";
}

Status OptionGroup::load() {
    const fs::path file = persistFile();
    Status result;
    std::error_code ec;
    if (fs::exists(file, ec)) {
        XMLDocument doc;
        {
            std::lock_guard fileLock(GetRegistry().fileMutex);
            result = doc.load(file);
        }
        if (!result.failed() && doc.root().name() != XMLString("Options"))
            result = Status::error(eNotOptionsFile, PathText(file) + L" is not an options file (its root element is " +
                                                        doc.root().name().wide() + L")");
        if (!result.failed()) {
            XMLNode groupNode;
            for (XMLNode g = doc.root().firstChild(); g && !groupNode; g = g.nextSibling())
                if (g.name() == XMLString("OptionGroup") && g.attribute("id").value() == XMLString(m_id))
                    groupNode = g;
            std::wstring bad;
            for (XMLNode o = groupNode.firstChild(); o; o = o.nextSibling()) {
                XMLAttribute id = o.attribute("id"), value = o.attribute("value");
                if (o.name() != XMLString("Option") || !id || !value)
                    continue;
                const std::string optionId = id.value().utf8();
                if (OptionBase* option = this->option(optionId)) {
                    if (!option->valueText(value.value().utf8()))
                        bad += (bad.empty() ? L"" : L", ") + Utility::toWide(optionId);
                } else {
                    std::lock_guard lock(m_mutex);
                    m_stored[optionId] = value.value().utf8();
                }
            }
            std::lock_guard lock(m_mutex);
            m_modified = false;
            if (!bad.empty())
                result = Status::warning(eBadValue, L"Unreadable option values in " + PathText(file) +
                                                        L" were left as they were: " + bad);
        }
    }
    postLoad();
    return result;
}

Status OptionGroup::save() {
    const fs::path file = persistFile();
    std::lock_guard fileLock(GetRegistry().fileMutex);
    std::error_code ec;
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path(), ec);
        if (ec)
            return Status::error(eCannotCreateFolder, L"Cannot create the options folder " +
                                                          PathText(file.parent_path()) + L": " +
                                                          Utility::toWide(ec.message()));
    }
    XMLDocument doc;
    Status warning;
    if (fs::exists(file, ec)) {
        Status read = doc.load(file);
        if (!read.failed() && doc.root().name() != XMLString("Options"))
            read = Status::error(eNotOptionsFile, PathText(file) + L" is not an options file");
        if (read.failed()) {
            // Keep what cannot be read rather than write over it.
            fs::path kept = file;
            kept += ".corrupt";
            fs::rename(file, kept, ec);
            if (ec)
                return Status::error(eKeptCorrupt, read.message() +
                                                       L"; it was left untouched, as it could not be kept aside: " +
                                                       Utility::toWide(ec.message()));
            warning = Status::warning(eKeptCorrupt, read.message() + L"; the file was kept as " + PathText(kept));
            doc.clear();
        }
    }
    XMLNode root = doc.root();
    if (!root)
        root = doc.createNode("Options");
    for (XMLNode g = root.firstChild(); g;) {
        XMLNode next = g.nextSibling();
        if (g.name() == XMLString("OptionGroup") && g.attribute("id").value() == XMLString(m_id))
            root.removeChild(g);
        g = next;
    }
    XMLNode groupNode = root.appendChild("OptionGroup");
    groupNode.setAttribute("id", m_id);
    {
        std::lock_guard lock(m_mutex);
        for (OptionBase* o : m_options) {
            XMLNode n = groupNode.appendChild("Option");
            n.setAttribute("id", o->id());
            n.setAttribute("value", o->valueText());
        }
        for (const auto& [id, value] : m_stored) {
            XMLNode n = groupNode.appendChild("Option");
            n.setAttribute("id", id);
            n.setAttribute("value", value);
        }
    }
    Status written = doc.save(file);
    if (written.failed())
        return written;
    std::lock_guard lock(m_mutex);
    m_modified = false;
    return warning;
}

bool OptionGroup::modified() const {
    std::lock_guard lock(m_mutex);
    return m_modified;
}

void OptionGroup::resetToDefaults() {
    for (OptionBase* o : options())
        o->reset();
}

int OptionGroup::addListener(Listener listener) {
    return m_listeners.add(std::move(listener));
}

bool OptionGroup::removeListener(int listenerId) {
    return m_listeners.remove(listenerId);
}

OptionGroup* OptionGroup::find(std::string_view groupId) {
    Registry& r = GetRegistry();
    std::lock_guard lock(r.mutex);
    for (OptionGroup* g : r.groups)
        if (g->m_id == groupId)
            return g;
    return nullptr;
}

std::vector<OptionGroup*> OptionGroup::all() {
    Registry& r = GetRegistry();
    std::lock_guard lock(r.mutex);
    return r.groups;
}

Status OptionGroup::saveModified() {
    Status result;
    for (OptionGroup* g : all()) {
        if (!g->modified())
            continue;
        Status s = g->save();
        if (s.failed())
            return s;
        if (s.isWarning() && result.isSuccess())
            result = s;
    }
    return result;
}

} // namespace Brio
