#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace Lumo::Objects {

/// An interned wide string: one object per distinct text for the life of the process,
/// so two UString pointers are equal exactly when their texts are.
class UString {
public:
    const wchar_t* c_str() const { return m_text.c_str(); }
    const std::wstring& Text() const { return m_text; }
    std::size_t Length() const { return m_text.size(); }
    std::size_t Hash() const { return m_hash; }

    UString(const UString&) = delete;
    UString& operator=(const UString&) = delete;

private:
    friend class UStringTable;
    explicit UString(std::wstring text);
    std::wstring m_text;
    std::size_t m_hash;
};

/// The one UString of a text; safe from any thread. A null text interns the empty text.
UString* Intern(const wchar_t* text);
UString* Intern(std::wstring_view text);
/// Interns UTF-8 text (ASCII names written in narrow literals).
UString* InternUtf8(std::string_view text);
/// The interned string of a text, or null when nobody has interned it yet.
UString* FindInterned(std::wstring_view text);
/// Number of distinct texts interned so far.
std::size_t InternedCount();

} // namespace Lumo::Objects
