#pragma once
#include <Brio/Base/XMLAttribute.h>
#include <Brio/Base/XMLString.h>

#include <string>
#include <type_traits>
#include <vector>

namespace Brio {

/// An element of an XMLDocument: a light handle, valid while the document holds the element.
/// Reads on a null handle answer nothing; writes on it do nothing. Children are elements only
/// (text and comments are left out), in document order.
class XMLNode {
public:
    XMLNode() = default;

    bool valid() const { return m_handle != nullptr; }
    explicit operator bool() const { return valid(); }

    XMLString name() const;
    XMLNode parent() const;

    XMLNode firstChild() const;
    XMLNode nextSibling() const;
    /// The first child element of that name.
    XMLNode child(const XMLString& name) const;
    std::vector<XMLNode> children() const;
    int childCount() const;
    /// A new last child element; null when name is not a valid XML name.
    XMLNode appendChild(const XMLString& name);
    /// False when child is not a child element of this one.
    bool removeChild(const XMLNode& child);

    XMLAttribute attribute(const XMLString& name) const;
    XMLAttribute firstAttribute() const;
    /// In document order.
    std::vector<XMLAttribute> attributes() const;
    int attributeCount() const;
    /// Sets or adds the attribute; false when name is not a valid XML name.
    bool setAttribute(const XMLString& name, const XMLString& value);
    /// Numbers are written locale-independently; bool as "true" or "false".
    template <class T>
    requires std::is_arithmetic_v<T>
    bool setAttribute(const XMLString& name, T value) {
        if constexpr (std::is_same_v<T, bool>)
            return setAttribute(name, XMLString(value ? "true" : "false"));
        else if constexpr (std::is_same_v<T, float>)
            return setAttribute(name, numberText(value));
        else if constexpr (std::is_floating_point_v<T>)
            return setAttribute(name, numberText(static_cast<double>(value)));
        else if constexpr (std::is_signed_v<T>)
            return setAttribute(name, numberText(static_cast<long long>(value)));
        else
            return setAttribute(name, numberText(static_cast<unsigned long long>(value)));
    }
    bool removeAttribute(const XMLString& name);

    /// The element's text content (its first text child).
    std::wstring text() const;
    void text(const XMLString& value);

    /// Whether the text is a name an element or attribute may have.
    static bool isValidName(const XMLString& name);

    friend bool operator==(const XMLNode&, const XMLNode&) = default;

private:
    friend class XMLDocument;
    explicit XMLNode(void* handle) : m_handle(handle) {}
    static XMLString numberText(long long value);
    static XMLString numberText(unsigned long long value);
    static XMLString numberText(double value);
    static XMLString numberText(float value);
    void* m_handle = nullptr;
};

} // namespace Brio
