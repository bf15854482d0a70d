#include <Brio/Base/TextCommand.h>

#include <algorithm>
#include <cwctype>
#include <mutex>

namespace Brio {

namespace {
struct Registry {
    std::mutex mutex;
    std::vector<TextCommand*> commands;
};
Registry& GetRegistry() {
    static Registry* registry = new Registry; // commands of unloading libraries may outlive statics
    return *registry;
}
std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = wchar_t(std::towlower(c));
    return s;
}
} // namespace

TextCommand::TextCommand(std::wstring area, std::wstring name, std::wstring help)
    : m_area(std::move(area)), m_name(std::move(name)), m_help(std::move(help)) {
    Registry& r = GetRegistry();
    std::lock_guard lock(r.mutex);
    r.commands.push_back(this);
}

TextCommand::~TextCommand() {
    Registry& r = GetRegistry();
    std::lock_guard lock(r.mutex);
    std::erase(r.commands, this);
}

TextCommand* TextCommand::find(const std::wstring& area, const std::wstring& name) {
    Registry& r = GetRegistry();
    std::lock_guard lock(r.mutex);
    const std::wstring a = Lower(area), n = Lower(name);
    for (TextCommand* c : r.commands)
        if (Lower(c->m_area) == a && Lower(c->m_name) == n)
            return c;
    return nullptr;
}

std::vector<TextCommand*> TextCommand::all() {
    Registry& r = GetRegistry();
    std::lock_guard lock(r.mutex);
    return r.commands;
}

std::wstring TextCommand::helpListing(const std::wstring& area) {
    std::vector<TextCommand*> commands = all();
    const std::wstring wanted = Lower(area);
    std::erase_if(commands, [&](TextCommand* c) { return !wanted.empty() && Lower(c->m_area) != wanted; });
    std::sort(commands.begin(), commands.end(), [](TextCommand* a, TextCommand* b) {
        return std::pair(Lower(a->m_area), Lower(a->m_name)) < std::pair(Lower(b->m_area), Lower(b->m_name));
    });
    std::wstring text;
    for (TextCommand* c : commands)
        text += c->m_area + L"." + c->m_name + L": " + c->m_help + L"\n";
    return text;
}

bool TextCommand::run(const std::wstring& line, std::wstring& reply) {
    std::size_t start = 0;
    while (start < line.size() && std::iswspace(line[start]))
        ++start;
    std::size_t end = start;
    while (end < line.size() && !std::iswspace(line[end]))
        ++end;
    const std::wstring word = line.substr(start, end - start);
    if (word.empty()) {
        reply = L"No command given";
        return false;
    }
    std::size_t dot = word.find(L'.');
    if (dot == std::wstring::npos || dot == 0 || dot + 1 == word.size()) {
        reply = L"Commands are written Area.Name: " + word;
        return false;
    }
    TextCommand* command = find(word.substr(0, dot), word.substr(dot + 1));
    if (!command) {
        reply = L"Unknown command: " + word;
        return false;
    }
    reply.clear();
    return command->execute(TextCommandParameters::parse(line.substr(end)), reply);
}

} // namespace Brio
