#include <Brio/Base/StringTable.h>

#include <Brio/Base/PathInfo.h>
#include <Brio/Base/StringConversion.h>
#include <Brio/Base/XMLDocument.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <system_error>

namespace Brio {

namespace fs = std::filesystem;

namespace {

using Table = std::map<std::wstring, std::wstring>;

struct State {
    std::mutex mutex;
    std::optional<std::wstring> locale;
    fs::path directory;
    std::map<std::wstring, Table> loaded; // by area, for the current locale and directory
    std::map<std::wstring, Table> set;    // by area, set in code
};

State& GetState() {
    static State* state = new State; // libraries look texts up while their statics unwind
    return *state;
}

std::wstring EnvironmentLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (!value || !*value)
            continue;
        std::string text(value);
        text = text.substr(0, text.find_first_of(".@")); // drop the encoding and modifier
        if (text.empty() || text == "C" || text == "POSIX")
            break;
        for (char& c : text)
            if (c == '_')
                c = '-';
        return Utility::toWide(text);
    }
    return L"en-US";
}

fs::path DefaultFolder() {
    fs::path root = PathInfo::localizationDirectory();
    return root.empty() ? root : root / "Strings";
}

/// Adds the strings of one file to table; strings already there (from a more specific
/// locale) stay.
void ReadFile(const fs::path& file, Table& table) {
    std::error_code ec;
    if (!fs::exists(file, ec))
        return;
    XMLDocument doc;
    Status status = doc.load(file);
    if (!status.failed() && doc.root().name() != XMLString("StringTable"))
        status = Status::error(0, L"the root element of " + Utility::toWide(file.string()) + L" is not StringTable");
    if (status.failed()) {
        std::fprintf(stderr, "BrioBase: translations ignored: %s\n", Utility::toUtf8(status.message()).c_str());
        return;
    }
    for (XMLNode s = doc.root().firstChild(); s; s = s.nextSibling()) {
        XMLAttribute key = s.attribute("key");
        if (s.name() == XMLString("String") && key)
            table.emplace(key.asStr(), s.text());
    }
}

Table& Loaded(State& state, const std::wstring& area) {
    auto it = state.loaded.find(area);
    if (it != state.loaded.end())
        return it->second;
    Table& table = state.loaded[area];
    const std::wstring locale = state.locale ? *state.locale : EnvironmentLocale();
    const fs::path folder = !state.directory.empty() ? state.directory : DefaultFolder();
    if (folder.empty() || locale.empty())
        return table;
    const fs::path file = fs::path(Utility::toUtf8(area) + ".xml");
    ReadFile(folder / Utility::toUtf8(locale) / file, table);
    if (auto dash = locale.find(L'-'); dash != std::wstring::npos)
        ReadFile(folder / Utility::toUtf8(locale.substr(0, dash)) / file, table);
    return table;
}

} // namespace

std::wstring StringTable::getLocalizedString(const std::wstring& area, const std::wstring& key,
                                             const std::wstring& englishDefault) {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    if (auto a = state.set.find(area); a != state.set.end())
        if (auto s = a->second.find(key); s != a->second.end())
            return s->second;
    const Table& table = Loaded(state, area);
    auto s = table.find(key);
    return s != table.end() ? s->second : englishDefault;
}

std::wstring StringTable::locale() {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    return state.locale ? *state.locale : EnvironmentLocale();
}

void StringTable::locale(const std::wstring& name) {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    if (name.empty())
        state.locale.reset();
    else
        state.locale = name;
    state.loaded.clear();
}

fs::path StringTable::directory() {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    return !state.directory.empty() ? state.directory : DefaultFolder();
}

void StringTable::directory(const fs::path& folder) {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.directory = folder;
    state.loaded.clear();
}

void StringTable::setString(const std::wstring& area, const std::wstring& key, const std::wstring& text) {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.set[area][key] = text;
}

void StringTable::reset() {
    State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.set.clear();
    state.loaded.clear();
}

} // namespace Brio
