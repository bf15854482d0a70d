#include <Brio/Base/JSONWriter.h>

#include <Brio/Base/NumberText.h>
#include <Brio/Base/StringConversion.h>

#include <cmath>
#include <stdexcept>

namespace Brio::Utility {

namespace {
const char* KindName(int kind) {
    switch (kind) {
    case 1:
        return "an object";
    case 2:
        return "an array";
    case 3:
        return "a field";
    default:
        return "the top level";
    }
}

bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}
} // namespace

JSONWriter::JSONWriter() {
    clear();
}

void JSONWriter::clear() {
    m_text.clear();
    m_stack.assign(1, Frame{eTop, 0});
}

void JSONWriter::beforeValue(const char* what) {
    Frame& f = m_stack.back();
    switch (f.kind) {
    case eObject:
        throw std::logic_error(std::string("JSONWriter: ") + what + " inside an object needs a field");
    case eField:
        if (f.count > 0)
            throw std::logic_error(std::string("JSONWriter: ") + what + " after the value of a field");
        break;
    case eTop:
    case eArray:
        if (f.count > 0)
            m_text.push_back(',');
        break;
    }
    ++f.count;
}

void JSONWriter::raw(std::string_view token, const char* what) {
    beforeValue(what);
    m_text.append(token);
}

void JSONWriter::end(EKind kind, const char* what) {
    Frame& f = m_stack.back();
    if (f.kind != kind)
        throw std::logic_error(std::string("JSONWriter: ") + what + " inside " + KindName(f.kind));
    if (kind == eField && f.count == 0)
        throw std::logic_error("JSONWriter: endField before the field's value");
    m_stack.pop_back();
}

void JSONWriter::beginObject() {
    raw("{", "an object");
    m_stack.push_back(Frame{eObject, 0});
}

void JSONWriter::endObject() {
    end(eObject, "endObject");
    m_text.push_back('}');
}

void JSONWriter::beginArray() {
    raw("[", "an array");
    m_stack.push_back(Frame{eArray, 0});
}

void JSONWriter::endArray() {
    end(eArray, "endArray");
    m_text.push_back(']');
}

void JSONWriter::beginField(std::string_view name) {
    Frame& f = m_stack.back();
    if (f.kind != eObject && f.kind != eTop)
        throw std::logic_error(std::string("JSONWriter: a field inside ") + KindName(f.kind));
    if (f.count > 0)
        m_text.push_back(',');
    ++f.count;
    appendString(name);
    m_text.push_back(':');
    m_stack.push_back(Frame{eField, 0});
}

void JSONWriter::beginField(std::wstring_view name) {
    beginField(std::string_view(toUtf8(name)));
}

void JSONWriter::endField() {
    end(eField, "endField");
}

void JSONWriter::write(std::string_view text) {
    beforeValue("a value");
    appendString(text);
}

void JSONWriter::write(std::wstring_view text) {
    beforeValue("a value");
    appendString(toUtf8(text));
}

void JSONWriter::write(int value) {
    raw(formatNumber(static_cast<long long>(value)), "a value");
}
void JSONWriter::write(unsigned value) {
    raw(formatNumber(static_cast<unsigned long long>(value)), "a value");
}
void JSONWriter::write(long value) {
    raw(formatNumber(static_cast<long long>(value)), "a value");
}
void JSONWriter::write(unsigned long value) {
    raw(formatNumber(static_cast<unsigned long long>(value)), "a value");
}
void JSONWriter::write(long long value) {
    raw(formatNumber(value), "a value");
}
void JSONWriter::write(unsigned long long value) {
    raw(formatNumber(value), "a value");
}
void JSONWriter::write(float value) {
    raw(std::isfinite(value) ? formatNumber(value) : "null", "a value");
}
void JSONWriter::write(double value) {
    raw(std::isfinite(value) ? formatNumber(value) : "null", "a value");
}
void JSONWriter::writeNull() {
    raw("null", "a value");
}

void JSONWriter::appendString(std::string_view utf8) {
    // Narrow text is taken as UTF-8; a round trip replaces what is not, so the output stays valid.
    std::string repaired;
    if (!IsAscii(utf8)) {
        repaired = toUtf8(toWide(utf8));
        utf8 = repaired;
    }
    static const char* const kHex = "0123456789abcdef";
    m_text.push_back('"');
    for (char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            m_text += "\\\"";
            break;
        case '\\':
            m_text += "\\\\";
            break;
        case '\b':
            m_text += "\\b";
            break;
        case '\f':
            m_text += "\\f";
            break;
        case '\n':
            m_text += "\\n";
            break;
        case '\r':
            m_text += "\\r";
            break;
        case '\t':
            m_text += "\\t";
            break;
        default:
            if (u < 0x20) {
                m_text += "\\u00";
                m_text.push_back(kHex[u >> 4]);
                m_text.push_back(kHex[u & 0xF]);
            } else {
                m_text.push_back(c);
            }
        }
    }
    m_text.push_back('"');
}

} // namespace Brio::Utility
