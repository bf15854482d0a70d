#pragma once
#include <Lumo/Graphics/ARenderNode.h>
#include <Lumo/Objects/Mutex.h>
#include <Scene/Foundations/SceneClass.h>

#include <cstdint>

namespace Lumo::Devices {
class IRenderGeom;
}

namespace Lumo::Scene {

/// A leaf holding one geometry at up to sixteen levels of detail (0 coarsest, 15 finest),
/// filled level by level as tessellation produces them. Safe between the thread that
/// tessellates and those that draw.
class LODGeometryNode : public Lumo::Graphics::ARenderNode, public NetObjectCountImpl<LODGeometryNode> {
    LUMO_SCENE_CLASS(LODGeometryNode)
public:
    static constexpr int kLevels = 16;
    static constexpr int kFallbackLevel = 15;
    using RealizeCallback = void (*)(Lumo::Devices::ADrawContext&, Lumo::Graphics::TraversalState&,
                                     Lumo::Graphics::WorldIterator*, Lumo::Graphics::ARenderNode*);

    static LODGeometryNode* Make() { return new LODGeometryNode; }

    /// Stores (or with null, clears) the geometry of a level under a style (unstylized when null).
    void RenderGeometry(Lumo::Devices::IRenderGeom* geometry, int level, Lumo::Objects::UString* styleId = nullptr);
    /// The level's geometry, or the closest level's when UseClosestLOD is on; null when none.
    Lumo::Devices::IRenderGeom* RenderGeometry(int level, Lumo::Objects::UString* styleId = nullptr);
    Lumo::Devices::IRenderGeom* ClosestRenderGeometry(int level, Lumo::Objects::UString* styleId = nullptr);
    /// The nearest level with geometry: level, level+1, level-1, level+2... (higher first).
    int FindClosestLOD(int level);

    bool HasMesh(int level);
    void SetHasMesh(int level);
    void RemoveHasMesh(int level);
    bool IsDegenerate(int level);
    void SetDegenerate(int level);
    void RemoveDegenerate(int level);
    /// Neither geometry nor known to be degenerate: tessellation still owes this level.
    bool NeedsMesh(int level);
    void SetBogusMesh(int level, bool bogus);
    bool IsBogusMesh(int level);
    bool UseClosestLOD();
    void UseClosestLOD(bool on);

    void WorldBox(const Lumo::Objects::SBox3& box);
    Lumo::Objects::SBox3 WorldBox() override;
    Lumo::Objects::ADevMatrix* WorldMatrix() override;
    bool HasLODs() const override { return true; }
    void RealizeNode(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state,
                     Lumo::Graphics::WorldIterator* iterator) override;

    /// The callback every LOD node's realisation runs; null installs one that does nothing.
    static void RealizeMethodCB(RealizeCallback callback);
    static RealizeCallback RealizeMethodCB();

protected:
    LODGeometryNode();

private:
    static bool ValidLevel(int level) { return level >= 0 && level < kLevels; }
    Lumo::Devices::IRenderGeom* Lookup(int level, Lumo::Objects::UString* styleId);
    int ClosestLocked(int level) const;

    Lumo::Objects::Threads::Mutex m_lock;
    Lumo::Objects::SBox3 m_worldBox;
    std::uint32_t m_levels = 0; // bit L: has mesh; bit 16 + L: degenerate
    std::uint32_t m_bogus = 0;
    bool m_useClosest = false;
};

} // namespace Lumo::Scene
