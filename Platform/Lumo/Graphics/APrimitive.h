#pragma once
#include <Lumo/Graphics/Box3d.h>
#include <Lumo/Graphics/CircleArc3d.h>
#include <Lumo/Graphics/Cone3d.h>
#include <Lumo/Graphics/EllipseArc3d.h>
#include <Lumo/Graphics/NurbsCurve3d.h>
#include <Lumo/Graphics/PolyLine3d.h>
#include <Lumo/Graphics/Sphere3d.h>
#include <Lumo/Graphics/Torus3d.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/SBox3.h>

#include <mutex>
#include <variant>

namespace Lumo::Devices {
class SimpleMesh;
}

namespace Lumo::Graphics {

/// The kinds of primitive, numbered as the alternatives of Primitive3d.
enum EPrimitiveKind : int {
    ePrimitiveNone = -1,
    ePrimitiveCircleArc = 0,
    ePrimitiveEllipseArc,
    ePrimitiveNurbsCurve,
    ePrimitivePolyLine,
    ePrimitiveTorus,
    ePrimitiveBox,
    ePrimitiveCone,
    ePrimitiveSphere,
};

/// Any one primitive by value.
using Primitive3d = std::variant<CircleArc3d, EllipseArc3d, NurbsCurve3d, PolyLine3d, Torus3d, Box3d, Cone3d, Sphere3d>;

/// One primitive shared by reference: what a primitive node draws and what a pending change
/// carries to it. Never changed once made, so a node and a change may share it freely; a new
/// shape is a new object.
class APrimitive : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static APrimitive* Make(Primitive3d value);
    ~APrimitive() override;

    EPrimitiveKind Kind() const { return static_cast<EPrimitiveKind>(m_value.index()); }
    const Primitive3d& Value() const { return m_value; }
    /// The value when it is of kind T, else null.
    template <class T> const T* As() const { return std::get_if<T>(&m_value); }

    bool IsValid() const;
    /// Arcs, NURBS curves and polylines (drawn as lines); the rest are surfaces.
    bool IsCurve() const { return IsCurveKind(Kind()); }
    /// The primitive's box in its own coordinates, computed once; empty when invalid.
    const Lumo::Objects::SBox3& Box() const;
    /// A new mesh of the primitive at a level of detail (see PrimitiveTessellator).
    Lumo::Devices::SimpleMesh* Tessellate(int level) const;

    static bool IsCurveKind(EPrimitiveKind kind) { return kind >= ePrimitiveCircleArc && kind <= ePrimitivePolyLine; }

protected:
    explicit APrimitive(Primitive3d value);

private:
    const Primitive3d m_value;
    mutable std::once_flag m_boxOnce; // a NURBS box is sampled: only on first request
    mutable Lumo::Objects::SBox3 m_box;
};

} // namespace Lumo::Graphics
