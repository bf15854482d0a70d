#pragma once
#include <Lumo/Objects/ArrayList.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mat4.h>

namespace Lumo::Objects {
class ADevMatrix;
}
namespace Lumo::Devices {
class IRenderGeom;
class RenderItem;
} // namespace Lumo::Devices

namespace Lumo::Graphics {

/// What a walker keeps from one walk to the next so that a walk of an unchanged scene
/// allocates nothing per leaf: the render items and world matrices the last walk made, in the
/// order it made them. The n-th request of a walk is offered the n-th object of the last one;
/// the same scene asks in the same order, so each leaf gets back its own item and matrix. A
/// changed scene only costs new objects where the order no longer matches. One pool per
/// walker, used by one thread at a time.
class WalkPool {
public:
    WalkPool();
    ~WalkPool();
    WalkPool(const WalkPool&) = delete;
    WalkPool& operator=(const WalkPool&) = delete;

    /// Starts a walk: the last walk's objects are offered again from the first.
    void Begin();
    /// Ends a walk: objects this walk did not ask for are let go.
    void End();

    /// A render item with this geometry and world matrix and nothing else (no effect, cull mode,
    /// object id or depth priority). The last walk's item at this point is reused when nobody
    /// else holds it any more; an item's object id cannot be cleared, so one that had an id is
    /// only reused when the caller sets an id again (objectId).
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderItem> Item(Lumo::Devices::IRenderGeom* geometry,
                                                           Lumo::Objects::ADevMatrix* world, bool objectId);
    /// A copy of from (geometry, effect, matrix, object id, cull mode, depth priority), reusing
    /// the last walk's item at this point as Item does.
    Lumo::Objects::AutoPtr<Lumo::Devices::RenderItem> Copy(const Lumo::Devices::RenderItem& from);
    /// A matrix holding m: the last walk's matrix at this point when it holds the same value
    /// (matrices handed out are never changed, so sharing them is safe).
    Lumo::Objects::AutoPtr<Lumo::Objects::ADevMatrix> Matrix(const Lumo::Objects::mat4<float>& m);

    /// The same, with a new object when there is no pool (a walk without a walker).
    static Lumo::Objects::AutoPtr<Lumo::Devices::RenderItem> Item(WalkPool* pool, Lumo::Devices::IRenderGeom* geometry,
                                                                  Lumo::Objects::ADevMatrix* world, bool objectId);
    static Lumo::Objects::AutoPtr<Lumo::Objects::ADevMatrix> Matrix(WalkPool* pool,
                                                                    const Lumo::Objects::mat4<float>& m);
    static Lumo::Objects::AutoPtr<Lumo::Devices::RenderItem> Copy(WalkPool* pool,
                                                                  const Lumo::Devices::RenderItem& from);

    /// Objects the current (or last) walk took from the pool and objects it had to make.
    int Reused() const { return m_reused; }
    int Made() const { return m_made; }
    int ItemCount() const { return m_items.Count(); }
    int MatrixCount() const { return m_matrices.Count(); }

private:
    Lumo::Objects::_ArrayList<Lumo::Devices::RenderItem*, Lumo::Objects::RefCountedLifetime> m_items;
    Lumo::Objects::_ArrayList<Lumo::Objects::ADevMatrix*, Lumo::Objects::RefCountedLifetime> m_matrices;
    int m_nextItem = 0, m_nextMatrix = 0;
    int m_reused = 0, m_made = 0;
};

} // namespace Lumo::Graphics
