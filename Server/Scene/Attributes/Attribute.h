#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ArrayList.h>
#include <Lumo/Objects/KString.h>
#include <Lumo/Objects/Vec.h>
#include <Scene/Attributes/EAttributeType.h>
#include <Scene/Foundations/SceneClass.h>

namespace Lumo::Scene {

/// An immutable, shared scene attribute. When two of one kind meet along a path, the higher
/// priority wins; at equal priority the incoming one wins unless the held one wins ties.
class Attribute : public Lumo::Objects::ARefCounted, public NetObjectCountImpl<Attribute> {
    LUMO_SCENE_CLASS(Attribute)
public:
    /// The winner of this (held) attribute and incoming; never a new object.
    virtual Attribute* Merge(Attribute* incoming);
    virtual EAttributeType Type() const = 0;
    /// Value equality: same kind, priority and tie flag (kinds compare their fields too).
    virtual bool Equals(const Attribute* other) const;
    /// Human-readable text for dumps; empty unless a kind says otherwise.
    virtual Lumo::Objects::KString ToString() const;
    virtual int Priority() const { return m_priority; }
    bool WinTies() const { return m_winTies; }

    static bool _EqualUString(const Lumo::Objects::UString* a, const Lumo::Objects::UString* b) { return a == b; }
    /// Floats closer than 1e-6.
    static bool _Equalf1(float a, float b);
    static bool _Equalf3(const Lumo::Objects::vec3<float>& a, const Lumo::Objects::vec3<float>& b);
    static bool _Equalf4(const Lumo::Objects::vec4<float>& a, const Lumo::Objects::vec4<float>& b);

protected:
    explicit Attribute(bool winTies = false, unsigned char priority = 0);
    void WinTies(bool winTies) { m_winTies = winTies; }
    void Priority(unsigned char priority) { m_priority = priority; }

private:
    unsigned char m_priority;
    bool m_winTies;
};

/// A list holding one reference per attribute.
using AttributeList = Lumo::Objects::_ArrayList<Attribute*, Lumo::Objects::RefCountedLifetime>;

} // namespace Lumo::Scene
