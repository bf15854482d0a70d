#include <Brio/Base/NumberText.h>

#include <charconv>
#include <limits>
#include <system_error>
#include <type_traits>

namespace Brio::Utility {

namespace {

template <class T> std::string Format(T value) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string();
}

std::string_view Trim(std::string_view text) {
    auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

template <class T> bool ParseInteger(std::string_view text, T& value) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    // Digits only from here: from_chars would accept a second sign.
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return false;
    unsigned long long magnitude = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
    if (ec != std::errc() || end != text.data() + text.size())
        return false;
    if constexpr (std::is_signed_v<T>) {
        const unsigned long long limit = negative
                                             ? 0ull - static_cast<unsigned long long>(std::numeric_limits<T>::min())
                                             : static_cast<unsigned long long>(std::numeric_limits<T>::max());
        if (magnitude > limit)
            return false;
        value = negative ? static_cast<T>(0ull - magnitude) : static_cast<T>(magnitude);
    } else {
        if (negative && magnitude != 0)
            return false;
        value = static_cast<T>(magnitude);
    }
    return true;
}

template <class T> bool ParseReal(std::string_view text, T& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+' || (text.front() == '-' && text.size() > 1 && text[1] == '+'))
        return false;
    T v{};
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || end != text.data() + text.size())
        return false;
    value = v;
    return true;
}

} // namespace

std::string formatNumber(long long value) {
    return Format(value);
}
std::string formatNumber(unsigned long long value) {
    return Format(value);
}
std::string formatNumber(double value) {
    return Format(value);
}
std::string formatNumber(float value) {
    return Format(value);
}

bool parseNumber(std::string_view text, long long& value) {
    return ParseInteger(text, value);
}
bool parseNumber(std::string_view text, int& value) {
    return ParseInteger(text, value);
}
bool parseNumber(std::string_view text, unsigned long long& value) {
    return ParseInteger(text, value);
}
bool parseNumber(std::string_view text, double& value) {
    return ParseReal(text, value);
}
bool parseNumber(std::string_view text, float& value) {
    return ParseReal(text, value);
}

} // namespace Brio::Utility
