#include <Brio/DataModel/ValueMetaType.h>

#include <Brio/Base/StringConversion.h>
#include <Brio/Types/Color.h>
#include <Brio/Types/Float2.h>
#include <Brio/Types/Point3f.h>
#include <Brio/Types/Vector3f.h>
#include <ZoGe/ZoGePoint3d.h>
#include <ZoGe/ZoGeVector3d.h>

#include <array>
#include <charconv>

namespace Brio {

ValueMetaType::~ValueMetaType() = default;

namespace {

// Numbers are written in their shortest form that reads back to the same value.
template <class N> void appendNumber(std::string& out, N value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

template <class N> bool parseNumber(std::string_view token, N& value) {
    const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
    return result.ec == std::errc() && result.ptr == token.data() + token.size();
}

/// Splits on blanks and reads every token as a number of type N that `valid` accepts.
template <class N> bool parseNumbers(std::string_view text, std::vector<N>& out, bool (*valid)(N)) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
            ++i;
        if (i == text.size())
            break;
        std::size_t end = i;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t' && text[end] != '\n' && text[end] != '\r')
            ++end;
        N value{};
        if (!parseNumber(text.substr(i, end - i), value) || !valid(value))
            return false;
        out.push_back(value);
        i = end;
    }
    return true;
}

/// The numbers a value is made of.
template <class T> struct Components {
    using Number = T;
    static constexpr std::size_t arity = 1;
    static void get(const T& v, Number* out) { out[0] = v; }
    static void set(T& v, const Number* in) { v = in[0]; }
    static bool valid(Number) { return true; }
};
// As 0 or 1 (kept in a byte: std::vector<bool> has no data()).
template <> struct Components<bool> {
    using Number = std::uint8_t;
    static constexpr std::size_t arity = 1;
    static void get(bool v, Number* out) { out[0] = v ? 1 : 0; }
    static void set(bool& v, const Number* in) { v = in[0] != 0; }
    static bool valid(Number n) { return n <= 1; }
};
template <> struct Components<Color> {
    using Number = float;
    static constexpr std::size_t arity = 4;
    static void get(const Color& c, float* out) {
        out[0] = c.red(), out[1] = c.green(), out[2] = c.blue(), out[3] = c.alpha();
    }
    static void set(Color& c, const float* in) { c = Color(in[0], in[1], in[2], in[3]); }
    static bool valid(float) { return true; }
};
template <class T, class N> struct XYComponents {
    using Number = N;
    static constexpr std::size_t arity = 2;
    static void get(const T& v, N* out) { out[0] = v.x, out[1] = v.y; }
    static void set(T& v, const N* in) { v.x = in[0], v.y = in[1]; }
    static bool valid(N) { return true; }
};
template <class T, class N> struct XYZComponents {
    using Number = N;
    static constexpr std::size_t arity = 3;
    static void get(const T& v, N* out) { out[0] = v.x, out[1] = v.y, out[2] = v.z; }
    static void set(T& v, const N* in) { v.x = in[0], v.y = in[1], v.z = in[2]; }
    static bool valid(N) { return true; }
};
template <> struct Components<Float2> : XYComponents<Float2, float> {};
template <> struct Components<Point3f> : XYZComponents<Point3f, float> {};
template <> struct Components<Vector3f> : XYZComponents<Vector3f, float> {};
template <> struct Components<ZoGePoint3d> : XYZComponents<ZoGePoint3d, double> {};
template <> struct Components<ZoGeVector3d> : XYZComponents<ZoGeVector3d, double> {};

template <class T> void appendValue(std::string& out, const T& value) {
    using C = Components<T>;
    std::array<typename C::Number, C::arity> numbers{};
    C::get(value, numbers.data());
    for (auto n : numbers) {
        if (!out.empty())
            out += ' ';
        appendNumber(out, n);
    }
}

/// One value of T.
template <class T> class SingleType final : public ValueMetaType {
public:
    explicit SingleType(const char* name) : ValueMetaType(name) {}
    std::string toText(const void* field) const override {
        std::string out;
        appendValue(out, *static_cast<const T*>(field));
        return out;
    }
    bool fromText(std::string_view text, void* field) const override {
        using C = Components<T>;
        std::vector<typename C::Number> numbers;
        if (!parseNumbers(text, numbers, &C::valid) || numbers.size() != C::arity)
            return false;
        C::set(*static_cast<T*>(field), numbers.data());
        return true;
    }
};

/// A std::vector of T, written as the numbers of all its values in order.
template <class T> class ListType final : public ValueMetaType {
public:
    explicit ListType(const char* name) : ValueMetaType(name) {}
    std::string toText(const void* field) const override {
        std::string out;
        for (const T& value : *static_cast<const std::vector<T>*>(field))
            appendValue(out, value);
        return out;
    }
    bool fromText(std::string_view text, void* field) const override {
        using C = Components<T>;
        std::vector<typename C::Number> numbers;
        if (!parseNumbers(text, numbers, &C::valid) || numbers.size() % C::arity != 0)
            return false;
        std::vector<T> values(numbers.size() / C::arity);
        for (std::size_t i = 0; i < values.size(); ++i)
            C::set(values[i], numbers.data() + i * C::arity);
        static_cast<std::vector<T>*>(field)->swap(values);
        return true;
    }
};

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/// UTF-8 with control characters and backslashes escaped, so that the text survives XML
/// attribute normalisation unchanged.
class WideStringType final : public ValueMetaType {
public:
    WideStringType() : ValueMetaType("wstring") {}
    std::string toText(const void* field) const override {
        const std::string utf8 = Utility::toUtf8(*static_cast<const std::wstring*>(field));
        static const char digits[] = "0123456789ABCDEF";
        std::string out;
        out.reserve(utf8.size());
        for (unsigned char c : utf8) {
            if (c == '\\') {
                out += "\\\\";
            } else if (c < 0x20 || c == 0x7F) {
                out += "\\x";
                out += digits[c >> 4];
                out += digits[c & 0xF];
            } else {
                out += static_cast<char>(c);
            }
        }
        return out;
    }
    bool fromText(std::string_view text, void* field) const override {
        std::string utf8;
        utf8.reserve(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '\\') {
                utf8 += text[i];
            } else if (i + 1 < text.size() && text[i + 1] == '\\') {
                utf8 += '\\';
                ++i;
            } else if (i + 3 < text.size() && text[i + 1] == 'x' && hexDigit(text[i + 2]) >= 0 &&
                       hexDigit(text[i + 3]) >= 0) {
                utf8 += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
                i += 3;
            } else {
                return false;
            }
        }
        *static_cast<std::wstring*>(field) = Utility::toWide(utf8);
        return true;
    }
};

} // namespace

// The descriptors are never destroyed: documents still open at exit clear their members
// through them after the statics of this library are gone.
#define BRIO_SINGLE_VALUE_TYPE(T, Name)                                                                                \
    const ValueMetaType* ValueMetaTypeOf<T>::get() {                                                                   \
        static const auto* type = new SingleType<T>(Name);                                                             \
        return type;                                                                                                   \
    }
#define BRIO_LIST_VALUE_TYPE(T, Name)                                                                                  \
    const ValueMetaType* ValueMetaTypeOf<std::vector<T>>::get() {                                                      \
        static const auto* type = new ListType<T>(Name);                                                               \
        return type;                                                                                                   \
    }

BRIO_SINGLE_VALUE_TYPE(bool, "bool")
BRIO_SINGLE_VALUE_TYPE(std::int32_t, "int32")
BRIO_SINGLE_VALUE_TYPE(std::uint32_t, "uint32")
BRIO_SINGLE_VALUE_TYPE(std::int64_t, "int64")
BRIO_SINGLE_VALUE_TYPE(std::uint64_t, "uint64")
BRIO_SINGLE_VALUE_TYPE(float, "float")
BRIO_SINGLE_VALUE_TYPE(double, "double")
BRIO_SINGLE_VALUE_TYPE(Color, "Color")
BRIO_SINGLE_VALUE_TYPE(Float2, "Float2")
BRIO_SINGLE_VALUE_TYPE(Point3f, "Point3f")
BRIO_SINGLE_VALUE_TYPE(Vector3f, "Vector3f")
BRIO_SINGLE_VALUE_TYPE(ZoGePoint3d, "ZoGePoint3d")
BRIO_SINGLE_VALUE_TYPE(ZoGeVector3d, "ZoGeVector3d")
BRIO_LIST_VALUE_TYPE(std::int32_t, "int32[]")
BRIO_LIST_VALUE_TYPE(std::uint32_t, "uint32[]")
BRIO_LIST_VALUE_TYPE(float, "float[]")
BRIO_LIST_VALUE_TYPE(double, "double[]")
BRIO_LIST_VALUE_TYPE(Color, "Color[]")
BRIO_LIST_VALUE_TYPE(Float2, "Float2[]")
BRIO_LIST_VALUE_TYPE(Point3f, "Point3f[]")
BRIO_LIST_VALUE_TYPE(Vector3f, "Vector3f[]")
BRIO_LIST_VALUE_TYPE(ZoGePoint3d, "ZoGePoint3d[]")
BRIO_LIST_VALUE_TYPE(ZoGeVector3d, "ZoGeVector3d[]")

#undef BRIO_SINGLE_VALUE_TYPE
#undef BRIO_LIST_VALUE_TYPE

const ValueMetaType* ValueMetaTypeOf<std::wstring>::get() {
    static const auto* type = new WideStringType;
    return type;
}

} // namespace Brio
