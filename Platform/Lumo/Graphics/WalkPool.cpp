#include <Lumo/Graphics/WalkPool.h>

#include <Lumo/Devices/IRenderGeom.h>
#include <Lumo/Devices/RenderItem.h>
#include <Lumo/Objects/SharedMatrix.h>

namespace Lumo::Graphics {

using Lumo::Devices::RenderItem;
using Lumo::Objects::ADevMatrix;
using Lumo::Objects::AutoPtr;

WalkPool::WalkPool() = default;
WalkPool::~WalkPool() = default;

void WalkPool::Begin() {
    m_nextItem = m_nextMatrix = 0;
    m_reused = m_made = 0;
}

void WalkPool::End() {
    // From the back: the lists keep their storage for the next walk.
    while (m_items.Count() > m_nextItem)
        m_items.RemoveAt(m_items.Count() - 1);
    while (m_matrices.Count() > m_nextMatrix)
        m_matrices.RemoveAt(m_matrices.Count() - 1);
}

AutoPtr<RenderItem> WalkPool::Item(Lumo::Devices::IRenderGeom* geometry, ADevMatrix* world, bool objectId) {
    const int at = m_nextItem++;
    if (at < m_items.Count()) {
        RenderItem* item = m_items[at];
        // A count of one is the pool's own: last frame's lists and drawers have let it go.
        if (item->RefCount() == 1 && (objectId || !item->HasObjectId())) {
            item->Geometry(geometry);
            item->WorldMatrix(world);
            item->Effect(nullptr);
            item->ClearCullMode();
            item->DepthPriority(0);
            ++m_reused;
            return AutoPtr<RenderItem>(item);
        }
    }
    AutoPtr<RenderItem> made = RenderItem::Make(geometry, nullptr, world);
    if (at < m_items.Count())
        m_items.Set(at, made); // the holder of the old one keeps it
    else
        m_items.Add(made);
    ++m_made;
    return made;
}

AutoPtr<RenderItem> WalkPool::Copy(const RenderItem& from) {
    AutoPtr<RenderItem> item = Item(from.Geometry(), from.WorldMatrix(), from.HasObjectId());
    item->Effect(from.Effect());
    if (from.HasObjectId())
        item->ObjectId(from.ObjectId());
    if (from.HasCullMode())
        item->CullMode(from.CullMode());
    item->DepthPriority(from.DepthPriority());
    return item;
}

AutoPtr<ADevMatrix> WalkPool::Matrix(const Lumo::Objects::mat4<float>& m) {
    const int at = m_nextMatrix++;
    if (at < m_matrices.Count() && m_matrices[at]->Matrix() == m) {
        ++m_reused;
        return AutoPtr<ADevMatrix>(m_matrices[at]);
    }
    AutoPtr<ADevMatrix> made = Lumo::Objects::SharedMatrix::Make(m);
    if (at < m_matrices.Count())
        m_matrices.Set(at, made);
    else
        m_matrices.Add(made);
    ++m_made;
    return made;
}

AutoPtr<RenderItem> WalkPool::Item(WalkPool* pool, Lumo::Devices::IRenderGeom* geometry, ADevMatrix* world,
                                   bool objectId) {
    if (pool)
        return pool->Item(geometry, world, objectId);
    return AutoPtr<RenderItem>(RenderItem::Make(geometry, nullptr, world));
}

AutoPtr<ADevMatrix> WalkPool::Matrix(WalkPool* pool, const Lumo::Objects::mat4<float>& m) {
    if (pool)
        return pool->Matrix(m);
    return AutoPtr<ADevMatrix>(Lumo::Objects::SharedMatrix::Make(m));
}

AutoPtr<RenderItem> WalkPool::Copy(WalkPool* pool, const RenderItem& from) {
    if (pool)
        return pool->Copy(from);
    return AutoPtr<RenderItem>(from.Clone());
}

} // namespace Lumo::Graphics
