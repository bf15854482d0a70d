#include <Lumo/Graphics/PropertyBag.h>

namespace Lumo::Serialization {

void PropertyBag::Set(Lumo::Objects::UString* name, Value value) {
    for (Property& p : m_properties)
        if (p.name == name) {
            p.value = std::move(value);
            return;
        }
    m_properties.push_back({name, std::move(value)});
}

const PropertyBag::Value* PropertyBag::Find(const Lumo::Objects::UString* name) const {
    for (const Property& p : m_properties)
        if (p.name == name)
            return &p.value;
    return nullptr;
}

template <class T> bool PropertyBag::GetAs(const Lumo::Objects::UString* name, T& out) const {
    const Value* v = Find(name);
    if (!v || !std::holds_alternative<T>(*v))
        return false;
    out = std::get<T>(*v);
    return true;
}

bool PropertyBag::Get(const Lumo::Objects::UString* name, bool& out) const {
    return GetAs(name, out);
}
bool PropertyBag::Get(const Lumo::Objects::UString* name, std::uint32_t& out) const {
    return GetAs(name, out);
}
bool PropertyBag::Get(const Lumo::Objects::UString* name, std::uint64_t& out) const {
    return GetAs(name, out);
}
bool PropertyBag::Get(const Lumo::Objects::UString* name, std::wstring& out) const {
    return GetAs(name, out);
}

} // namespace Lumo::Serialization
