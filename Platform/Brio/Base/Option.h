#pragma once
#include <Brio/Base/NumberText.h>
#include <Brio/Base/OptionBase.h>
#include <Brio/Base/StringConversion.h>

#include <atomic>
#include <limits>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

namespace Brio {

/// How values of one type are persisted as option text: bool, integers, enumerations (as
/// their number), float, double, and wide or UTF-8 text.
template <class T> struct OptionValueText {
    static std::string format(const T& value) {
        if constexpr (std::is_same_v<T, bool>)
            return value ? "true" : "false";
        else if constexpr (std::is_enum_v<T>)
            return Utility::formatNumber(static_cast<long long>(value));
        else if constexpr (std::is_floating_point_v<T>)
            return Utility::formatNumber(value);
        else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>)
            return Utility::formatNumber(static_cast<long long>(value));
        else if constexpr (std::is_integral_v<T>)
            return Utility::formatNumber(static_cast<unsigned long long>(value));
        else if constexpr (std::is_same_v<T, std::wstring>)
            return Utility::toUtf8(value);
        else
            return std::string(value);
    }
    static bool parse(std::string_view text, T& value) {
        if constexpr (std::is_same_v<T, bool>) {
            if (text == "true" || text == "1")
                value = true;
            else if (text == "false" || text == "0")
                value = false;
            else
                return false;
            return true;
        } else if constexpr (std::is_enum_v<T> || (std::is_integral_v<T> && std::is_signed_v<T>)) {
            using I =
                typename std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>, std::type_identity<T>>::type;
            long long v = 0;
            if (!Utility::parseNumber(text, v) || v < static_cast<long long>(std::numeric_limits<I>::min()) ||
                v > static_cast<long long>(std::numeric_limits<I>::max()))
                return false;
            value = static_cast<T>(v);
            return true;
        } else if constexpr (std::is_integral_v<T>) {
            unsigned long long v = 0;
            if (!Utility::parseNumber(text, v) || v > std::numeric_limits<T>::max())
                return false;
            value = static_cast<T>(v);
            return true;
        } else if constexpr (std::is_floating_point_v<T>) {
            return Utility::parseNumber(text, value);
        } else if constexpr (std::is_same_v<T, std::wstring>) {
            value = Utility::toWide(text);
            return true;
        } else {
            value = T(text);
            return true;
        }
    }
};

/// Whether values of T are kept in a lock-free atomic (asked only of copyable types, since
/// std::atomic of anything else does not compile).
template <class T, bool = std::is_trivially_copyable_v<T>> struct OptionLockFree : std::false_type {};
template <class T> struct OptionLockFree<T, true> : std::bool_constant<std::atomic<T>::is_always_lock_free> {};

/// A typed preference: a value with its default and the choices offered for it. Reading and
/// writing are safe from any thread; numbers and flags are read without a lock, as drawing
/// reads them per node.
template <class T> class Option : public OptionBase {
public:
    struct Choice {
        T value;
        LocalizedString label;
    };

    Option(std::string id, LocalizedString userName, LocalizedString toolTip, OptionGroup& group, T defaultValue,
           unsigned flags = eNoFlags)
        : OptionBase(std::move(id), std::move(userName), std::move(toolTip), group, flags), m_default(defaultValue),
          m_value(defaultValue) {
        join();
    }
    ~Option() override { leave(); }

    T value() const {
        if constexpr (kLockFree) {
            return m_value.load(std::memory_order_relaxed);
        } else {
            std::lock_guard lock(m_valueMutex);
            return m_value;
        }
    }
    /// Stores the value; true, after the listeners were told, when it differs from the old one.
    bool value(const T& newValue) {
        T old;
        if constexpr (kLockFree) {
            old = m_value.exchange(newValue, std::memory_order_relaxed);
        } else {
            std::lock_guard lock(m_valueMutex);
            old = std::exchange(m_value, newValue);
        }
        if (old == newValue)
            return false;
        changed();
        return true;
    }
    const T& defaultValue() const { return m_default; }

    /// Offers value to the user under label. Choices only describe; any value can be stored.
    void addChoice(T choice, LocalizedString label) {
        m_choices.push_back(Choice{std::move(choice), std::move(label)});
    }
    const std::vector<Choice>& choices() const { return m_choices; }

    std::string valueText() const override { return OptionValueText<T>::format(value()); }
    bool valueText(std::string_view text) override {
        T v = m_default;
        if (!OptionValueText<T>::parse(text, v))
            return false;
        value(v);
        return true;
    }
    std::string defaultText() const override { return OptionValueText<T>::format(m_default); }
    bool isDefault() const override { return value() == m_default; }
    void reset() override { value(m_default); }

    int choiceCount() const override { return static_cast<int>(m_choices.size()); }
    std::string choiceText(int index) const override {
        return index >= 0 && index < choiceCount() ? OptionValueText<T>::format(m_choices[std::size_t(index)].value)
                                                   : std::string();
    }
    std::wstring choiceLabel(int index) const override {
        return index >= 0 && index < choiceCount() ? m_choices[std::size_t(index)].label.text() : std::wstring();
    }

private:
    static constexpr bool kLockFree = OptionLockFree<T>::value;
    const T m_default;
    std::conditional_t<kLockFree, std::atomic<T>, T> m_value;
    mutable std::conditional_t<kLockFree, std::nullptr_t, std::mutex> m_valueMutex{};
    std::vector<Choice> m_choices;
};

} // namespace Brio
