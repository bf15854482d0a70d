#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace Lumo::Objects {

class UString;

/// A wide string builder. Numbers are appended in their shortest round-trip form
/// (0.5 prints "0.5", 1.0 prints "1"), so texts made of them are stable and exact.
class KString {
public:
    KString() = default;
    KString(const wchar_t* text) : m_text(text ? text : L"") {}
    KString(std::wstring text) : m_text(std::move(text)) {}

    KString& operator+=(const wchar_t* text) { return Append(text); }
    KString& operator+=(const KString& other) { return Append(other); }
    KString& operator+=(wchar_t c) {
        m_text.push_back(c);
        return *this;
    }
    KString& operator+=(int v) { return Append(v); }
    KString& operator+=(unsigned v) { return Append(v); }
    KString& operator+=(float v) { return Append(v); }
    KString& operator+=(double v) { return Append(v); }

    KString& Append(const wchar_t* text);
    KString& Append(std::wstring_view text);
    KString& Append(const KString& other) {
        m_text += other.m_text;
        return *this;
    }
    KString& Append(const UString* text);
    KString& Append(int v);
    KString& Append(unsigned v);
    KString& Append(long long v);
    KString& Append(unsigned long long v);
    KString& Append(float v);
    KString& Append(double v);
    /// Upper-case hexadecimal without prefix.
    KString& AppendHex(std::uint64_t v);

    const wchar_t* c_str() const { return m_text.c_str(); }
    const std::wstring& Str() const { return m_text; }
    std::size_t Length() const { return m_text.size(); }
    bool IsEmpty() const { return m_text.empty(); }
    void Clear() { m_text.clear(); }
    /// UTF-8 copy, for printing.
    std::string Utf8() const;

    bool operator==(const KString& o) const { return m_text == o.m_text; }
    bool operator==(const wchar_t* o) const { return m_text == (o ? o : L""); }

private:
    std::wstring m_text;
};

} // namespace Lumo::Objects
