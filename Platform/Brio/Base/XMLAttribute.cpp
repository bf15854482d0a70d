#include <Brio/Base/XMLAttribute.h>

#include <Brio/Base/NumberText.h>
#include <Brio/Base/StringConversion.h>

#include <pugixml.hpp>

namespace Brio {

namespace {
pugi::xml_attribute Attr(void* handle) {
    return pugi::xml_attribute(static_cast<pugi::xml_attribute_struct*>(handle));
}

template <class T> T Read(void* handle, T fallback) {
    if (!handle)
        return fallback;
    T value = fallback;
    return Utility::parseNumber(Attr(handle).value(), value) ? value : fallback;
}
} // namespace

XMLString XMLAttribute::name() const {
    return m_handle ? XMLString(Attr(m_handle).name()) : XMLString();
}
XMLString XMLAttribute::value() const {
    return m_handle ? XMLString(Attr(m_handle).value()) : XMLString();
}

std::wstring XMLAttribute::asStr(const std::wstring& fallback) const {
    return m_handle ? Utility::toWide(Attr(m_handle).value()) : fallback;
}

int XMLAttribute::asInt(int fallback) const {
    return Read(m_handle, fallback);
}
float XMLAttribute::asFloat(float fallback) const {
    return Read(m_handle, fallback);
}
double XMLAttribute::asDouble(double fallback) const {
    return Read(m_handle, fallback);
}

XMLAttribute XMLAttribute::next() const {
    return m_handle ? XMLAttribute(Attr(m_handle).next_attribute().internal_object()) : XMLAttribute();
}

} // namespace Brio
