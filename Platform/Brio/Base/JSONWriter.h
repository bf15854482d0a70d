#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace Brio::Utility {

/// Writes compact JSON text (no white space) one token at a time. The outermost level takes
/// fields like the inside of an object, without the braces, so that several writers' texts
/// can be joined and wrapped by the caller; it also takes plain values. Inside an object only
/// fields may be written, each holding exactly one value; inside an array only values.
/// Writing out of that order is a programming error and throws std::logic_error, so that a
/// writer never produces text a reader cannot parse.
class JSONWriter {
public:
    JSONWriter();

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    /// Starts the field `name`; the next value (or object or array) is its value.
    void beginField(std::string_view name);
    void beginField(std::wstring_view name);
    void endField();

    /// A string value: escaped, written as UTF-8 (invalid sequences become U+FFFD).
    void write(std::string_view text);
    void write(std::wstring_view text);
    void write(const char* text) { write(std::string_view(text ? text : "")); }
    void write(const wchar_t* text) { write(std::wstring_view(text ? text : L"")); }
    void write(int value);
    void write(unsigned value);
    void write(long value);
    void write(unsigned long value);
    void write(long long value);
    void write(unsigned long long value);
    /// Shortest text that reads back to the same value; NaN and infinities, which JSON
    /// cannot hold, are written as null.
    void write(float value);
    void write(double value);
    void writeNull();

    /// The text written so far.
    const std::string& text() const { return m_text; }
    /// True when every object, array and field begun has been ended.
    bool complete() const { return m_stack.size() == 1 && m_stack.back().kind == eTop; }
    /// Empties the text and the nesting.
    void clear();

private:
    enum EKind { eTop, eObject, eArray, eField };
    struct Frame {
        EKind kind;
        int count; // items written in an object, array or the top level; values in a field
    };
    void beforeValue(const char* what);
    void end(EKind kind, const char* what);
    void raw(std::string_view token, const char* what);
    void appendString(std::string_view utf8);

    std::string m_text;
    std::vector<Frame> m_stack;
};

} // namespace Brio::Utility
