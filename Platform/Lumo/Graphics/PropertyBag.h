#pragma once
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace Lumo::Objects {
class UString;
}

namespace Lumo::Serialization {

/// Named, typed values in the order they were written: the shape a serializer gives one
/// object's properties. Reading by name finds the first property of that name.
class PropertyBag {
public:
    using Value = std::variant<bool, std::uint32_t, std::uint64_t, std::wstring>;
    struct Property {
        Lumo::Objects::UString* name;
        Value value;
    };

    void Set(Lumo::Objects::UString* name, Value value);
    const Value* Find(const Lumo::Objects::UString* name) const;
    /// The value when present with that type; otherwise false and out untouched.
    bool Get(const Lumo::Objects::UString* name, bool& out) const;
    bool Get(const Lumo::Objects::UString* name, std::uint32_t& out) const;
    bool Get(const Lumo::Objects::UString* name, std::uint64_t& out) const;
    bool Get(const Lumo::Objects::UString* name, std::wstring& out) const;
    const std::vector<Property>& Properties() const { return m_properties; }
    void Clear() { m_properties.clear(); }

private:
    template <class T> bool GetAs(const Lumo::Objects::UString* name, T& out) const;
    std::vector<Property> m_properties;
};

} // namespace Lumo::Serialization
