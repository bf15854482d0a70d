#pragma once
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/APrimitive.h>
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mutex.h>

namespace Lumo::Devices {
class EffectInstance;
}

namespace Lumo::Graphics {

/// A leaf that draws one primitive (arc, ellipse arc, NURBS curve, polyline, torus, box, cone
/// or sphere). It tessellates the primitive for the level of detail a walk asks for and keeps
/// each level's mesh in its attribute cache as base data until the primitive is replaced.
/// The effect instance is handed to it by the client during the walk (the pre-realise
/// callback). Cache and slots are locked: several walks may realise one node at once.
class APrimitiveNode : public ARenderNode {
    LUMO_DECLARE_CLASS()
public:
    /// Answers of the pre-realise callback.
    enum EPrimitiveState : int {
        ePrimitiveStateReady = 0,       ///< go on and draw
        ePrimitiveStateNoPrimitive = 1, ///< nothing to draw in this walk
    };

    /// A node over the primitive (held by reference); null makes a node that draws nothing.
    static APrimitiveNode* Make(APrimitive* primitive = nullptr);
    static APrimitiveNode* Make(const Primitive3d& primitive);
    static APrimitiveNode* MakeCircleArc(const CircleArc3d& arc);
    static APrimitiveNode* MakeEllipseArc(const EllipseArc3d& arc);
    static APrimitiveNode* MakeNurbsCurve(const NurbsCurve3d& curve);
    static APrimitiveNode* MakePolyLine(const PolyLine3d& line);
    static APrimitiveNode* MakeTorus(const Torus3d& torus);
    static APrimitiveNode* MakeBox(const Box3d& box);
    static APrimitiveNode* MakeCone(const Cone3d& cone);
    static APrimitiveNode* MakeSphere(const Sphere3d& sphere);
    ~APrimitiveNode() override;

    /// The primitive; null when none.
    Lumo::Objects::AutoPtr<APrimitive> Primitive() const;
    /// Replaces the primitive (null clears it), drops the cached meshes and marks the world
    /// box and render item stale. Setting the same object again changes nothing.
    void Primitive(APrimitive* primitive);
    void Primitive(const Primitive3d& primitive);
    /// The primitive's kind; ePrimitiveNone without one.
    EPrimitiveKind Kind() const;

    Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance> EffectInst() const;
    void EffectInst(Lumo::Devices::EffectInstance* effect);

    /// The mesh of a level (clamped to 0..15), tessellated on first request and then taken
    /// from the cache; null only without a primitive. An invalid primitive gives an empty mesh.
    Lumo::Objects::AutoPtr<Lumo::Devices::SimpleMesh> Mesh(int level);

    /// Runs the installed pre-realise callback (a non-ready answer skips the node), then adds
    /// one render item: the mesh of the state's level, this node's effect instance and the
    /// state's world matrix. Nothing is added when the mesh has nothing to draw.
    void RealizeNode(Lumo::Devices::ADrawContext& dc, TraversalState& state, WorldIterator* iterator) override;
    /// The primitive's box in its own coordinates; empty without a valid primitive.
    Lumo::Objects::SBox3 WorldBox() override;
    bool HasLODs() const override { return true; }

protected:
    explicit APrimitiveNode(APrimitive* primitive);

private:
    void DropMeshesLocked();

    mutable Lumo::Objects::Threads::Mutex m_lock;
    Lumo::Objects::AutoPtr<APrimitive> m_primitive;
    Lumo::Objects::AutoPtr<Lumo::Devices::EffectInstance> m_effect;
};

} // namespace Lumo::Graphics
