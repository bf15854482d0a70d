#pragma once
#include <string>
#include <string_view>

namespace Brio {

/// Text as the XML classes take and give it. Held in UTF-8, the encoding of the files, and
/// made from either UTF-8 or wide text so that callers of both kinds pass names directly.
class XMLString {
public:
    XMLString() = default;
    XMLString(const char* utf8);
    XMLString(std::string utf8);
    XMLString(std::string_view utf8);
    XMLString(const wchar_t* text);
    XMLString(const std::wstring& text);
    XMLString(std::wstring_view text);

    const std::string& utf8() const { return m_utf8; }
    const char* c_str() const { return m_utf8.c_str(); }
    std::wstring wide() const;
    bool empty() const { return m_utf8.empty(); }

    friend bool operator==(const XMLString&, const XMLString&) = default;

private:
    std::string m_utf8;
};

} // namespace Brio
