#pragma once
#include <Lumo/Devices/ADeviceResource.h>
#include <Lumo/Devices/ParameterValues.h>

#include <vector>

namespace Lumo::Devices {

/// A named effect: a parameter table (name, index, type) and its default values. One is
/// shared per device and name through the effect cache; instances carry their own values.
/// The backend later compiles the program of the same name and reads the parameters by name.
/// The table is built once, before the effect is shared, and not changed after.
class IRenderEffect : public ADeviceResource {
    LUMO_DECLARE_CLASS()
public:
    static IRenderEffect* Make(Lumo::Objects::UString* name);

    Lumo::Objects::UString* Name() const { return m_name; }

    /// Adds a parameter at the next index with a zero default (identity matrix, no texture)
    /// and answers its index; a name already present answers its index when the type
    /// agrees, otherwise -1.
    int AddParameter(Lumo::Objects::UString* name, EParameterType type);
    int ParameterCount() const { return static_cast<int>(m_names.size()); }
    /// The index of a parameter, or -1.
    int ParameterIndex(Lumo::Objects::UString* name) const;
    int ParameterIndex(const wchar_t* name) const;
    /// Null for a bad index.
    Lumo::Objects::UString* ParameterName(int index) const;
    EParameterType ParameterType(int index) const { return m_defaults.Type(index); }

    /// The values a new instance starts with; written while the effect is built.
    const ParameterValues& Defaults() const { return m_defaults; }
    ParameterValues& Defaults() { return m_defaults; }

protected:
    explicit IRenderEffect(Lumo::Objects::UString* name);

private:
    Lumo::Objects::UString* m_name;
    std::vector<Lumo::Objects::UString*> m_names;
    ParameterValues m_defaults;
};

} // namespace Lumo::Devices
