#include <Brio/Base/StringConversion.h>

#include <cstdint>

namespace Brio::Utility {

static_assert(sizeof(wchar_t) == 4, "wide strings are expected to hold UTF-32");

namespace {

constexpr char32_t kReplacement = 0xFFFD;

} // namespace

std::wstring toWide(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        const auto b0 = static_cast<unsigned char>(utf8[i]);
        if (b0 < 0x80) {
            out.push_back(static_cast<wchar_t>(b0));
            ++i;
            continue;
        }

        // The allowed range of the second byte rules out overlong forms, surrogates and
        // code points above U+10FFFF (Unicode table 3-7).
        int need = 0;
        unsigned char lo = 0x80, hi = 0xBF;
        char32_t cp = 0;
        if (b0 >= 0xC2 && b0 <= 0xDF) {
            need = 1;
            cp = b0 & 0x1F;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            need = 2;
            cp = b0 & 0x0F;
            if (b0 == 0xE0)
                lo = 0xA0;
            else if (b0 == 0xED)
                hi = 0x9F;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            need = 3;
            cp = b0 & 0x07;
            if (b0 == 0xF0)
                lo = 0x90;
            else if (b0 == 0xF4)
                hi = 0x8F;
        } else {
            out.push_back(static_cast<wchar_t>(kReplacement));
            ++i;
            continue;
        }

        size_t j = i + 1;
        bool valid = true;
        for (int k = 0; k < need; ++k, ++j) {
            if (j >= n) {
                valid = false;
                break;
            }
            const auto b = static_cast<unsigned char>(utf8[j]);
            const unsigned char kLo = k == 0 ? lo : 0x80;
            const unsigned char kHi = k == 0 ? hi : 0xBF;
            if (b < kLo || b > kHi) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        // A broken sequence consumes only its valid prefix, so the next byte gets its own chance.
        out.push_back(static_cast<wchar_t>(valid ? cp : kReplacement));
        i = j;
    }
    return out;
}

std::string toUtf8(std::wstring_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (wchar_t wc : wide) {
        auto cp = static_cast<uint32_t>(wc);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = kReplacement;
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace Brio::Utility
