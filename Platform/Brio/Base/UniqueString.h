#pragma once

#include <string>
#include <string_view>

namespace Brio {

/// Interned text: one object per distinct text for the whole process, never freed, so pointer
/// equality is text equality. Used as interface ids and other hot-path keys.
class UniqueString {
public:
    /// The one object for `text`; nullptr when it does not exist yet and `create` is false.
    static UniqueString* find(const std::wstring& text, bool create = true);
    static UniqueString* find(const wchar_t* text, bool create = true);
    /// UTF-8 overloads; invalid sequences are interned with U+FFFD in their place.
    static UniqueString* find(std::string_view utf8, bool create = true);
    static UniqueString* find(const char* utf8, bool create = true);

    const std::wstring& text() const { return m_text; }

    UniqueString(const UniqueString&) = delete;
    UniqueString& operator=(const UniqueString&) = delete;

private:
    explicit UniqueString(std::wstring_view text);
    ~UniqueString() = default;

    static UniqueString* findView(std::wstring_view text, bool create);

    const std::wstring m_text;
};

} // namespace Brio
