#pragma once
#include <Lumo/Objects/ArrayList.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>

#include <cstdint>
#include <vector>

namespace Lumo::Devices {

class TextureInstance;

/// The kinds of value an effect parameter holds. Booleans are ints.
enum EParameterType : int {
    eParamNone = 0,
    eParamFloat = 1,
    eParamFloat2 = 2,
    eParamFloat3 = 3,
    eParamFloat4 = 4,
    eParamInt = 5,
    eParamTexture = 6,
    eParamMatrix = 7,
};

/// Effect parameter values by index, each slot typed. A slot takes the type of its first
/// value; once the layout is locked (as in an effect instance, whose slots mirror its
/// effect's table) no slot is added. A write of the wrong type or to a bad index changes
/// nothing and answers false; a read of either answers the fallback.
class ParameterValues {
public:
    /// Indices at or above this are refused, so a stray index cannot allocate without bound.
    static constexpr int kMaxParameters = 256;

    ParameterValues();
    ParameterValues(const ParameterValues& other);
    ParameterValues& operator=(const ParameterValues& other);
    ~ParameterValues();
    /// A heap copy, owned by the caller.
    ParameterValues* Clone() const;

    /// Number of slots (one past the highest slot index).
    int Count() const { return static_cast<int>(m_slots.size()); }
    bool Has(int index) const { return Type(index) != eParamNone; }
    EParameterType Type(int index) const;
    /// Makes a slot of that type holding zero (identity for a matrix, null for a texture).
    /// True when the slot now has that type.
    bool Declare(int index, EParameterType type);
    void LockLayout() { m_locked = true; }
    bool LayoutLocked() const { return m_locked; }

    bool SetFloat(int index, float v);
    bool SetFloat2(int index, const Lumo::Objects::vec2<float>& v);
    bool SetFloat3(int index, const Lumo::Objects::vec3<float>& v);
    bool SetFloat4(int index, const Lumo::Objects::vec4<float>& v);
    bool SetInt(int index, int v);
    bool SetBool(int index, bool v) { return SetInt(index, v ? 1 : 0); }
    /// Holds one reference on the texture; null clears the slot's texture.
    bool SetTexture(int index, TextureInstance* texture);
    bool SetMatrix(int index, const Lumo::Objects::mat4<float>& m);

    float GetFloat(int index, float fallback = 0.0f) const;
    Lumo::Objects::vec2<float> GetFloat2(int index, const Lumo::Objects::vec2<float>& fallback = {}) const;
    Lumo::Objects::vec3<float> GetFloat3(int index, const Lumo::Objects::vec3<float>& fallback = {}) const;
    Lumo::Objects::vec4<float> GetFloat4(int index, const Lumo::Objects::vec4<float>& fallback = {}) const;
    int GetInt(int index, int fallback = 0) const;
    bool GetBool(int index, bool fallback = false) const { return GetInt(index, fallback ? 1 : 0) != 0; }
    /// Not counted for the caller.
    TextureInstance* GetTexture(int index) const;
    Lumo::Objects::mat4<float> GetMatrix(int index, const Lumo::Objects::mat4<float>& fallback = {}) const;

    /// Copies each value other holds into the slot of the same index, where that slot can
    /// take its type; answers how many were copied.
    int CopyFrom(const ParameterValues& other);

    /// Same slots, same types, same values (textures by identity); the version is not compared.
    bool operator==(const ParameterValues& other) const;
    bool operator!=(const ParameterValues& other) const { return !(*this == other); }

    /// Grows with every change, so a backend can skip uploading unchanged values.
    std::uint64_t Version() const { return m_version; }

private:
    struct Slot {
        EParameterType type;
        int offset; // into m_floats, m_ints or m_textures by type
    };
    static int FloatCount(EParameterType type);
    bool Writable(int index, EParameterType type);
    const float* Floats(int index, EParameterType type) const;
    bool SetFloats(int index, EParameterType type, const float* v);

    std::vector<Slot> m_slots;
    std::vector<float> m_floats;
    std::vector<int> m_ints;
    Lumo::Objects::_ArrayList<TextureInstance*, Lumo::Objects::RefCountedLifetime> m_textures;
    std::uint64_t m_version = 0;
    bool m_locked = false;
};

} // namespace Lumo::Devices
