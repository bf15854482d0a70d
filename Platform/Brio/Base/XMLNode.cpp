#include <Brio/Base/XMLNode.h>

#include <Brio/Base/NumberText.h>
#include <Brio/Base/StringConversion.h>

#include <pugixml.hpp>

#include <cctype>

namespace Brio {

namespace {
pugi::xml_node Node(void* handle) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(handle));
}

pugi::xml_node NextElement(pugi::xml_node n) {
    while (n && n.type() != pugi::node_element)
        n = n.next_sibling();
    return n;
}

bool NameStart(unsigned char c) {
    return c >= 0x80 || std::isalpha(c) || c == '_' || c == ':';
}
bool NameChar(unsigned char c) {
    return NameStart(c) || std::isdigit(c) || c == '-' || c == '.';
}
} // namespace

XMLString XMLNode::name() const {
    return m_handle ? XMLString(Node(m_handle).name()) : XMLString();
}

XMLNode XMLNode::parent() const {
    if (!m_handle)
        return {};
    pugi::xml_node p = Node(m_handle).parent();
    return p.type() == pugi::node_element ? XMLNode(p.internal_object()) : XMLNode();
}

XMLNode XMLNode::firstChild() const {
    if (!m_handle)
        return {};
    return XMLNode(NextElement(Node(m_handle).first_child()).internal_object());
}

XMLNode XMLNode::nextSibling() const {
    if (!m_handle)
        return {};
    return XMLNode(NextElement(Node(m_handle).next_sibling()).internal_object());
}

XMLNode XMLNode::child(const XMLString& name) const {
    if (!m_handle)
        return {};
    return XMLNode(Node(m_handle).child(name.c_str()).internal_object());
}

std::vector<XMLNode> XMLNode::children() const {
    std::vector<XMLNode> list;
    for (XMLNode c = firstChild(); c; c = c.nextSibling())
        list.push_back(c);
    return list;
}

int XMLNode::childCount() const {
    int n = 0;
    for (XMLNode c = firstChild(); c; c = c.nextSibling())
        ++n;
    return n;
}

XMLNode XMLNode::appendChild(const XMLString& name) {
    if (!m_handle || !isValidName(name))
        return {};
    return XMLNode(Node(m_handle).append_child(name.c_str()).internal_object());
}

bool XMLNode::removeChild(const XMLNode& child) {
    if (!m_handle || !child.m_handle || child.parent() != *this)
        return false;
    return Node(m_handle).remove_child(Node(child.m_handle));
}

XMLAttribute XMLNode::attribute(const XMLString& name) const {
    if (!m_handle)
        return {};
    return XMLAttribute(Node(m_handle).attribute(name.c_str()).internal_object());
}

XMLAttribute XMLNode::firstAttribute() const {
    return m_handle ? XMLAttribute(Node(m_handle).first_attribute().internal_object()) : XMLAttribute();
}

std::vector<XMLAttribute> XMLNode::attributes() const {
    std::vector<XMLAttribute> list;
    for (XMLAttribute a = firstAttribute(); a; a = a.next())
        list.push_back(a);
    return list;
}

int XMLNode::attributeCount() const {
    int n = 0;
    for (XMLAttribute a = firstAttribute(); a; a = a.next())
        ++n;
    return n;
}

bool XMLNode::setAttribute(const XMLString& name, const XMLString& value) {
    if (!m_handle || !isValidName(name))
        return false;
    pugi::xml_node n = Node(m_handle);
    pugi::xml_attribute a = n.attribute(name.c_str());
    if (!a)
        a = n.append_attribute(name.c_str());
    return a.set_value(value.c_str());
}

bool XMLNode::removeAttribute(const XMLString& name) {
    return m_handle && Node(m_handle).remove_attribute(name.c_str());
}

std::wstring XMLNode::text() const {
    return m_handle ? Utility::toWide(Node(m_handle).text().get()) : std::wstring();
}

void XMLNode::text(const XMLString& value) {
    if (m_handle)
        Node(m_handle).text().set(value.c_str());
}

bool XMLNode::isValidName(const XMLString& name) {
    const std::string& s = name.utf8();
    if (s.empty() || !NameStart(static_cast<unsigned char>(s[0])))
        return false;
    for (char c : s)
        if (!NameChar(static_cast<unsigned char>(c)))
            return false;
    return true;
}

XMLString XMLNode::numberText(long long value) {
    return Utility::formatNumber(value);
}
XMLString XMLNode::numberText(unsigned long long value) {
    return Utility::formatNumber(value);
}
XMLString XMLNode::numberText(double value) {
    return Utility::formatNumber(value);
}
XMLString XMLNode::numberText(float value) {
    return Utility::formatNumber(value);
}

} // namespace Brio
