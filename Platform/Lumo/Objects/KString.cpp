#include <Lumo/Objects/KString.h>
#include <Lumo/Objects/UString.h>

#include <charconv>

namespace Lumo::Objects {

namespace {
template <class T> void AppendNumber(std::wstring& out, T v) {
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr); // ASCII digits widen one to one
}
} // namespace

KString& KString::Append(const wchar_t* text) {
    if (text)
        m_text += text;
    return *this;
}
KString& KString::Append(std::wstring_view text) {
    m_text += text;
    return *this;
}
KString& KString::Append(const UString* text) {
    if (text)
        m_text += text->Text();
    return *this;
}
KString& KString::Append(int v) {
    AppendNumber(m_text, v);
    return *this;
}
KString& KString::Append(unsigned v) {
    AppendNumber(m_text, v);
    return *this;
}
KString& KString::Append(long long v) {
    AppendNumber(m_text, v);
    return *this;
}
KString& KString::Append(unsigned long long v) {
    AppendNumber(m_text, v);
    return *this;
}
KString& KString::Append(float v) {
    AppendNumber(m_text, v);
    return *this;
}
KString& KString::Append(double v) {
    AppendNumber(m_text, v);
    return *this;
}

KString& KString::AppendHex(std::uint64_t v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v, 16);
    for (char* p = buf; p != res.ptr; ++p)
        m_text.push_back(static_cast<wchar_t>(*p >= 'a' ? *p - 'a' + 'A' : *p));
    return *this;
}

std::string KString::Utf8() const {
    std::string out;
    out.reserve(m_text.size());
    for (wchar_t wc : m_text) {
        auto c = static_cast<char32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            c = 0xFFFD;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

} // namespace Lumo::Objects
