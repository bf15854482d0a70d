#include <Lumo/Devices/ParameterValues.h>
#include <Lumo/Devices/TextureInstance.h>

#include <algorithm>
#include <cstring>

namespace Lumo::Devices {

using Lumo::Objects::mat4;
using Lumo::Objects::vec2;
using Lumo::Objects::vec3;
using Lumo::Objects::vec4;

ParameterValues::ParameterValues() = default;
ParameterValues::ParameterValues(const ParameterValues& other) = default;
ParameterValues& ParameterValues::operator=(const ParameterValues& other) = default;
ParameterValues::~ParameterValues() = default;

ParameterValues* ParameterValues::Clone() const {
    return new ParameterValues(*this);
}

int ParameterValues::FloatCount(EParameterType type) {
    switch (type) {
    case eParamFloat:
        return 1;
    case eParamFloat2:
        return 2;
    case eParamFloat3:
        return 3;
    case eParamFloat4:
        return 4;
    case eParamMatrix:
        return 16;
    default:
        return 0;
    }
}

EParameterType ParameterValues::Type(int index) const {
    if (index < 0 || index >= Count())
        return eParamNone;
    return m_slots[index].type;
}

bool ParameterValues::Declare(int index, EParameterType type) {
    if (index < 0 || index >= kMaxParameters || type <= eParamNone || type > eParamMatrix)
        return false;
    if (index < Count() && m_slots[index].type != eParamNone)
        return m_slots[index].type == type;
    if (m_locked)
        return false;
    if (index >= Count())
        m_slots.resize(static_cast<std::size_t>(index) + 1, Slot{eParamNone, 0});
    Slot& slot = m_slots[index];
    slot.type = type;
    if (type == eParamInt) {
        slot.offset = static_cast<int>(m_ints.size());
        m_ints.push_back(0);
    } else if (type == eParamTexture) {
        slot.offset = m_textures.Count();
        m_textures.Add(nullptr);
    } else {
        slot.offset = static_cast<int>(m_floats.size());
        if (type == eParamMatrix) {
            const mat4<float> identity;
            m_floats.insert(m_floats.end(), &identity.m[0][0], &identity.m[0][0] + 16);
        } else {
            m_floats.insert(m_floats.end(), static_cast<std::size_t>(FloatCount(type)), 0.0f);
        }
    }
    ++m_version;
    return true;
}

bool ParameterValues::Writable(int index, EParameterType type) {
    if (index < 0 || index >= kMaxParameters)
        return false;
    if (index < Count() && m_slots[index].type == type)
        return true;
    return Declare(index, type);
}

const float* ParameterValues::Floats(int index, EParameterType type) const {
    if (Type(index) != type)
        return nullptr;
    return m_floats.data() + m_slots[index].offset;
}

bool ParameterValues::SetFloats(int index, EParameterType type, const float* v) {
    if (!Writable(index, type))
        return false;
    std::copy(v, v + FloatCount(type), m_floats.begin() + m_slots[index].offset);
    ++m_version;
    return true;
}

bool ParameterValues::SetFloat(int index, float v) {
    return SetFloats(index, eParamFloat, &v);
}
bool ParameterValues::SetFloat2(int index, const vec2<float>& v) {
    const float f[2] = {v.x, v.y};
    return SetFloats(index, eParamFloat2, f);
}
bool ParameterValues::SetFloat3(int index, const vec3<float>& v) {
    const float f[3] = {v.x, v.y, v.z};
    return SetFloats(index, eParamFloat3, f);
}
bool ParameterValues::SetFloat4(int index, const vec4<float>& v) {
    const float f[4] = {v.x, v.y, v.z, v.w};
    return SetFloats(index, eParamFloat4, f);
}
bool ParameterValues::SetMatrix(int index, const mat4<float>& m) {
    return SetFloats(index, eParamMatrix, &m.m[0][0]);
}

bool ParameterValues::SetInt(int index, int v) {
    if (!Writable(index, eParamInt))
        return false;
    m_ints[m_slots[index].offset] = v;
    ++m_version;
    return true;
}

bool ParameterValues::SetTexture(int index, TextureInstance* texture) {
    if (!Writable(index, eParamTexture))
        return false;
    m_textures.Set(m_slots[index].offset, texture);
    ++m_version;
    return true;
}

float ParameterValues::GetFloat(int index, float fallback) const {
    const float* f = Floats(index, eParamFloat);
    return f ? f[0] : fallback;
}
vec2<float> ParameterValues::GetFloat2(int index, const vec2<float>& fallback) const {
    const float* f = Floats(index, eParamFloat2);
    return f ? vec2<float>(f[0], f[1]) : fallback;
}
vec3<float> ParameterValues::GetFloat3(int index, const vec3<float>& fallback) const {
    const float* f = Floats(index, eParamFloat3);
    return f ? vec3<float>(f[0], f[1], f[2]) : fallback;
}
vec4<float> ParameterValues::GetFloat4(int index, const vec4<float>& fallback) const {
    const float* f = Floats(index, eParamFloat4);
    return f ? vec4<float>(f[0], f[1], f[2], f[3]) : fallback;
}
mat4<float> ParameterValues::GetMatrix(int index, const mat4<float>& fallback) const {
    const float* f = Floats(index, eParamMatrix);
    if (!f)
        return fallback;
    mat4<float> m;
    std::memcpy(&m.m[0][0], f, sizeof(float) * 16);
    return m;
}
int ParameterValues::GetInt(int index, int fallback) const {
    return Type(index) == eParamInt ? m_ints[m_slots[index].offset] : fallback;
}
TextureInstance* ParameterValues::GetTexture(int index) const {
    return Type(index) == eParamTexture ? m_textures[m_slots[index].offset] : nullptr;
}

int ParameterValues::CopyFrom(const ParameterValues& other) {
    if (&other == this)
        return 0;
    int copied = 0;
    for (int i = 0; i < other.Count(); ++i) {
        const EParameterType type = other.Type(i);
        bool ok = false;
        switch (type) {
        case eParamNone:
            continue;
        case eParamInt:
            ok = SetInt(i, other.GetInt(i));
            break;
        case eParamTexture:
            ok = SetTexture(i, other.GetTexture(i));
            break;
        default:
            ok = SetFloats(i, type, other.Floats(i, type));
            break;
        }
        copied += ok ? 1 : 0;
    }
    return copied;
}

bool ParameterValues::operator==(const ParameterValues& other) const {
    if (Count() != other.Count())
        return false;
    for (int i = 0; i < Count(); ++i) {
        const EParameterType type = Type(i);
        if (type != other.Type(i))
            return false;
        switch (type) {
        case eParamNone:
            break;
        case eParamInt:
            if (GetInt(i) != other.GetInt(i))
                return false;
            break;
        case eParamTexture:
            if (GetTexture(i) != other.GetTexture(i))
                return false;
            break;
        default:
            if (!std::equal(Floats(i, type), Floats(i, type) + FloatCount(type), other.Floats(i, type)))
                return false;
            break;
        }
    }
    return true;
}

} // namespace Lumo::Devices
