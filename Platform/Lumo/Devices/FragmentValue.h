#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mat4.h>
#include <Lumo/Objects/Vec.h>

#include <string>

namespace Lumo::Devices {

/// A value handed to a fragment: a number or vector, a matrix, a text, or an object (a world,
/// a target, a camera, a list of states, an effect instance, a renderer). Objects are held by
/// reference.
struct FragmentValue {
    enum EKind : int { eNone, eBool, eInt, eFloat, eFloat2, eFloat3, eFloat4, eMatrix, eText, eObject };

    EKind kind = eNone;
    float f[4] = {0, 0, 0, 0};
    int i = 0;
    Lumo::Objects::mat4<float> matrix;
    std::wstring text;
    Lumo::Objects::AutoPtr<Lumo::Objects::ARefCounted> object;

    FragmentValue() = default;
    static FragmentValue Bool(bool b) {
        FragmentValue v;
        v.kind = eBool;
        v.i = b ? 1 : 0;
        return v;
    }
    static FragmentValue Int(int n) {
        FragmentValue v;
        v.kind = eInt;
        v.i = n;
        return v;
    }
    static FragmentValue Float(float x) { return Floats(eFloat, x, 0, 0, 0); }
    static FragmentValue Float2(const Lumo::Objects::vec2<float>& x) { return Floats(eFloat2, x.x, x.y, 0, 0); }
    static FragmentValue Float3(const Lumo::Objects::vec3<float>& x) { return Floats(eFloat3, x.x, x.y, x.z, 0); }
    static FragmentValue Float4(const Lumo::Objects::vec4<float>& x) { return Floats(eFloat4, x.x, x.y, x.z, x.w); }
    static FragmentValue Matrix(const Lumo::Objects::mat4<float>& m) {
        FragmentValue v;
        v.kind = eMatrix;
        v.matrix = m;
        return v;
    }
    static FragmentValue Text(std::wstring t) {
        FragmentValue v;
        v.kind = eText;
        v.text = std::move(t);
        return v;
    }
    static FragmentValue Object(Lumo::Objects::ARefCounted* o) {
        FragmentValue v;
        v.kind = o ? eObject : eNone;
        v.object = o;
        return v;
    }

    bool IsSet() const { return kind != eNone; }
    /// Booleans, numbers (non-zero) and objects (present) read as true.
    bool AsBool() const {
        switch (kind) {
        case eBool:
        case eInt:
            return i != 0;
        case eFloat:
            return f[0] != 0.0f;
        case eObject:
            return object.get() != nullptr;
        case eText:
            return text == L"true" || text == L"1";
        default:
            return false;
        }
    }
    float AsFloat(float fallback = 0.0f) const {
        if (kind == eInt || kind == eBool)
            return float(i);
        return kind >= eFloat && kind <= eFloat4 ? f[0] : fallback;
    }
    int AsInt(int fallback = 0) const {
        if (kind == eInt || kind == eBool)
            return i;
        return kind == eFloat ? int(f[0]) : fallback;
    }
    /// The object as T (by its class name), or null.
    template <class T> T* As() const {
        return object ? static_cast<T*>(object->GetInterface(T::StaticClassName())) : nullptr;
    }

private:
    static FragmentValue Floats(EKind k, float a, float b, float c, float d) {
        FragmentValue v;
        v.kind = k;
        v.f[0] = a, v.f[1] = b, v.f[2] = c, v.f[3] = d;
        return v;
    }
};

} // namespace Lumo::Devices
