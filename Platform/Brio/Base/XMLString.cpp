#include <Brio/Base/XMLString.h>

#include <Brio/Base/StringConversion.h>

namespace Brio {

XMLString::XMLString(const char* utf8) : m_utf8(utf8 ? utf8 : "") {}
XMLString::XMLString(std::string utf8) : m_utf8(std::move(utf8)) {}
XMLString::XMLString(std::string_view utf8) : m_utf8(utf8) {}
XMLString::XMLString(const wchar_t* text) : m_utf8(text ? Utility::toUtf8(text) : std::string()) {}
XMLString::XMLString(const std::wstring& text) : m_utf8(Utility::toUtf8(text)) {}
XMLString::XMLString(std::wstring_view text) : m_utf8(Utility::toUtf8(text)) {}

std::wstring XMLString::wide() const {
    return Utility::toWide(m_utf8);
}

} // namespace Brio
