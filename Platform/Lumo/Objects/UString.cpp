#include <Lumo/Objects/UString.h>

#include <memory>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace Lumo::Objects {

UString::UString(std::wstring text) : m_text(std::move(text)), m_hash(std::hash<std::wstring>{}(m_text)) {}

/// Process-wide intern table. Lookups of known texts take only the shared lock;
/// entries are never removed, so returned pointers stay valid until exit.
class UStringTable {
public:
    static UStringTable& Get() {
        static UStringTable* table = new UStringTable; // outlives every static that interns
        return *table;
    }

    UString* Find(std::wstring_view text) {
        std::shared_lock lock(m_mutex);
        auto it = m_map.find(text);
        return it == m_map.end() ? nullptr : it->second.get();
    }

    UString* Intern(std::wstring_view text) {
        if (UString* found = Find(text))
            return found;
        std::unique_lock lock(m_mutex);
        auto it = m_map.find(text);
        if (it != m_map.end())
            return it->second.get();
        std::unique_ptr<UString> s(new UString(std::wstring(text)));
        UString* raw = s.get();
        m_map.emplace(std::wstring_view(raw->Text()), std::move(s));
        return raw;
    }

    std::size_t Count() {
        std::shared_lock lock(m_mutex);
        return m_map.size();
    }

private:
    std::shared_mutex m_mutex;
    std::unordered_map<std::wstring_view, std::unique_ptr<UString>> m_map;
};

UString* Intern(const wchar_t* text) {
    return UStringTable::Get().Intern(text ? std::wstring_view(text) : std::wstring_view());
}

UString* Intern(std::wstring_view text) {
    return UStringTable::Get().Intern(text);
}

UString* InternUtf8(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || (extra > 0 && i + extra >= text.size())) {
            wide.push_back(L'\uFFFD');
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(text[i + k]);
            if ((cc & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8 either.
        static constexpr char32_t kMinForLength[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kMinForLength[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            wide.push_back(L'\uFFFD');
            ++i;
            continue;
        }
        wide.push_back(static_cast<wchar_t>(cp));
        i += extra + 1;
    }
    return Intern(std::wstring_view(wide));
}

UString* FindInterned(std::wstring_view text) {
    return UStringTable::Get().Find(text);
}

std::size_t InternedCount() {
    return UStringTable::Get().Count();
}

} // namespace Lumo::Objects
