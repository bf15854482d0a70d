#include <Brio/Base/TextCommandParameters.h>

#include <cstdint>
#include <cwchar>
#include <cwctype>

namespace Brio {

namespace {
bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}
} // namespace

TextCommandParameters TextCommandParameters::parse(const std::wstring& arguments) {
    TextCommandParameters p;
    std::size_t i = 0;
    const std::size_t n = arguments.size();
    while (i < n) {
        while (i < n && std::iswspace(arguments[i]))
            ++i;
        if (i >= n)
            break;
        std::wstring word;
        bool quoted = false;
        if (arguments[i] == L'"') {
            quoted = true;
            ++i;
            while (i < n && arguments[i] != L'"')
                word.push_back(arguments[i++]);
            if (i < n)
                ++i; // the closing quote; an unclosed one runs to the end
        } else {
            while (i < n && !std::iswspace(arguments[i]))
                word.push_back(arguments[i++]);
        }
        if (!quoted && word.size() > 1 && word[0] == L'/')
            p.m_flags.push_back(word.substr(1));
        else
            p.m_params.push_back(word);
    }
    return p;
}

bool TextCommandParameters::hasFlag(const std::wstring& name) const {
    for (const auto& f : m_flags)
        if (SameIgnoringCase(f, name))
            return true;
    return false;
}

const std::wstring& TextCommandParameters::parameter(int i) const {
    static const std::wstring empty;
    return i >= 0 && i < count() ? m_params[std::size_t(i)] : empty;
}

bool TextCommandParameters::parameterAsDouble(int i, double& value) const {
    const std::wstring& text = parameter(i);
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    double v = std::wcstod(text.c_str(), &end);
    if (!end || *end != L'\0')
        return false;
    value = v;
    return true;
}

bool TextCommandParameters::parameterAsInt(int i, int& value) const {
    const std::wstring& text = parameter(i);
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    long v = std::wcstol(text.c_str(), &end, 10);
    if (!end || *end != L'\0' || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = int(v);
    return true;
}

} // namespace Brio
