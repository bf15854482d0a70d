#include <Brio/Base/TextCommandConsole.h>

#include <Brio/Base/StringConversion.h>
#include <Brio/Base/TextCommand.h>

#include <cwctype>
#include <istream>
#include <ostream>

namespace Brio {

namespace {
std::wstring Trim(const std::wstring& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::iswspace(s[b]))
        ++b;
    while (e > b && std::iswspace(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s)
        c = wchar_t(std::towlower(c));
    return s;
}
} // namespace

TextCommandConsole::TextCommandConsole(std::istream& in, std::ostream& out) : m_in(in), m_out(out) {}

int TextCommandConsole::run() {
    std::string line;
    while (!m_finished) {
        if (!m_prompt.empty())
            m_out << m_prompt << std::flush;
        if (!std::getline(m_in, line))
            break;
        execute(line);
    }
    return m_failures;
}

bool TextCommandConsole::execute(const std::string& utf8Line) {
    const std::wstring line = Trim(Utility::toWide(utf8Line));
    if (line.empty() || line[0] == L'#')
        return true;
    const std::size_t space = line.find_first_of(L" \t");
    const std::wstring word = Lower(line.substr(0, space));
    const std::wstring rest = space == std::wstring::npos ? std::wstring() : Trim(line.substr(space));
    if ((word == L"exit" || word == L"quit") && rest.empty()) {
        m_finished = true;
        return true;
    }
    if (word == L"help") {
        std::wstring text;
        bool ok = true;
        if (rest.find(L'.') != std::wstring::npos) {
            const std::size_t dot = rest.find(L'.');
            if (TextCommand* c = TextCommand::find(rest.substr(0, dot), rest.substr(dot + 1))) {
                text = c->area() + L"." + c->name() + L": " + c->help();
            } else {
                ok = false;
                text = L"Unknown command: " + rest;
            }
        } else {
            text = TextCommand::helpListing(rest);
            if (!text.empty() && text.back() == L'\n')
                text.pop_back();
            if (text.empty()) {
                ok = false;
                text = rest.empty() ? L"No commands are registered" : L"No commands in the area " + rest;
            }
        }
        print(text, !ok);
        return ok;
    }
    std::wstring reply;
    const bool ok = TextCommand::run(line, reply);
    print(reply, !ok);
    return ok;
}

void TextCommandConsole::print(const std::wstring& text, bool failed) {
    if (failed) {
        ++m_failures;
        m_out << "Error: ";
    }
    if (!text.empty() || failed)
        m_out << Utility::toUtf8(text) << '\n';
    m_out.flush();
}

} // namespace Brio
