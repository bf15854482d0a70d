#include <Lumo/Devices/IRenderEffect.h>
#include <Lumo/Objects/UString.h>

#include <algorithm>

namespace Lumo::Devices {

using Lumo::Objects::UString;

LUMO_DEFINE_CLASS(IRenderEffect, ADeviceResource)

IRenderEffect::IRenderEffect(UString* name) : m_name(name ? name : Lumo::Objects::Intern(L"")) {}

IRenderEffect* IRenderEffect::Make(UString* name) {
    return new IRenderEffect(name);
}

int IRenderEffect::AddParameter(UString* name, EParameterType type) {
    if (!name)
        return -1;
    int existing = ParameterIndex(name);
    if (existing >= 0)
        return ParameterType(existing) == type ? existing : -1;
    int index = ParameterCount();
    if (!m_defaults.Declare(index, type))
        return -1;
    m_names.push_back(name);
    MarkChanged();
    return index;
}

int IRenderEffect::ParameterIndex(UString* name) const {
    auto it = std::find(m_names.begin(), m_names.end(), name);
    return it == m_names.end() ? -1 : static_cast<int>(it - m_names.begin());
}

int IRenderEffect::ParameterIndex(const wchar_t* name) const {
    // Names are interned, so an unknown text cannot be a parameter: no need to intern it.
    UString* u = name ? Lumo::Objects::FindInterned(name) : nullptr;
    return u ? ParameterIndex(u) : -1;
}

UString* IRenderEffect::ParameterName(int index) const {
    return index >= 0 && index < ParameterCount() ? m_names[index] : nullptr;
}

} // namespace Lumo::Devices
