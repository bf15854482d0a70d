#pragma once
#include <Lumo/Devices/ECull.h>
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>
#include <Lumo/Objects/SBox3.h>

namespace Lumo::Objects {
class ADevMatrix;
}

namespace Lumo::Devices {

class IRenderGeom;
class SimpleMesh;
class EffectInstance;

/// One thing to draw: geometry, the effect instance to draw it with, its world matrix,
/// and per-item settings (object id for picking, a cull mode, a depth priority). Holds a
/// reference on each object it names.
class RenderItem : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static RenderItem* Make(IRenderGeom* geometry = nullptr, EffectInstance* effect = nullptr,
                            Lumo::Objects::ADevMatrix* world = nullptr);
    ~RenderItem() override;
    /// A copy naming the same geometry, effect and matrix.
    RenderItem* Clone() const;

    IRenderGeom* Geometry() const { return m_geometry; }
    void Geometry(IRenderGeom* geometry);
    /// The geometry when it is a SimpleMesh, else null.
    SimpleMesh* Mesh() const;
    EffectInstance* Effect() const { return m_effect; }
    void Effect(EffectInstance* effect);
    /// Null means identity.
    Lumo::Objects::ADevMatrix* WorldMatrix() const { return m_world; }
    void WorldMatrix(Lumo::Objects::ADevMatrix* world);

    bool HasObjectId() const { return m_hasObjectId; }
    int ObjectId() const { return m_objectId; }
    void ObjectId(int id) {
        m_objectId = id;
        m_hasObjectId = true;
    }

    /// Without a cull mode of its own the item draws with its effect's states.
    bool HasCullMode() const { return m_hasCullMode; }
    ECull CullMode() const { return m_cullMode; }
    void CullMode(ECull cull) {
        m_cullMode = cull;
        m_hasCullMode = true;
    }
    void ClearCullMode() { m_hasCullMode = false; }

    /// Higher priorities draw over lower at equal depth.
    int DepthPriority() const { return m_depthPriority; }
    void DepthPriority(int priority) { m_depthPriority = priority; }

    /// The geometry's box through the world matrix; empty without geometry.
    Lumo::Objects::SBox3 WorldBox() const;

protected:
    RenderItem(IRenderGeom* geometry, EffectInstance* effect, Lumo::Objects::ADevMatrix* world);
    RenderItem(const RenderItem& other);

private:
    Lumo::Objects::AutoPtr<IRenderGeom> m_geometry;
    Lumo::Objects::AutoPtr<EffectInstance> m_effect;
    Lumo::Objects::AutoPtr<Lumo::Objects::ADevMatrix> m_world;
    int m_objectId = 0;
    bool m_hasObjectId = false;
    ECull m_cullMode = eCullNone;
    bool m_hasCullMode = false;
    int m_depthPriority = 0;
};

} // namespace Lumo::Devices
