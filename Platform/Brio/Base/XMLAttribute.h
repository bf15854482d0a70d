#pragma once
#include <Brio/Base/XMLString.h>

#include <string>

namespace Brio {

/// One attribute of an element of an XMLDocument: a light handle, valid while the document
/// holds the attribute. A missing attribute is a null handle whose reads give the fallback.
class XMLAttribute {
public:
    XMLAttribute() = default;

    bool valid() const { return m_handle != nullptr; }
    explicit operator bool() const { return valid(); }

    XMLString name() const;
    XMLString value() const;

    /// The value as wide text; fallback when the attribute is missing.
    std::wstring asStr(const std::wstring& fallback = std::wstring()) const;
    /// The value as a number (decimal, or hexadecimal with "0x" for integers); fallback when
    /// the attribute is missing or its whole value is not such a number.
    int asInt(int fallback = 0) const;
    float asFloat(float fallback = 0.0f) const;
    double asDouble(double fallback = 0.0) const;

    /// The next attribute of the same element, in document order.
    XMLAttribute next() const;

    friend bool operator==(const XMLAttribute&, const XMLAttribute&) = default;

private:
    friend class XMLNode;
    explicit XMLAttribute(void* handle) : m_handle(handle) {}
    void* m_handle = nullptr;
};

} // namespace Brio
