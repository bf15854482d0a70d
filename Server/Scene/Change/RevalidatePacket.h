#pragma once
#include <Brio/DataModel/DataChange.h>
#include <Lumo/Graphics/ChangePacket.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Foundations/NetObjectCountImpl.h>

#include <cstdint>

namespace Lumo::Graphics {
class GroupNode;
}

namespace Brio::Scene {

class ChangePacket;
class NodeData;

/// Asks a node's source again for the host change types a node change could not satisfy
/// itself. Also the base of ChangePacket, which adds the data to apply.
class RevalidatePacket : public Lumo::Graphics::ChangePacket, public Lumo::Scene::NetObjectCountImpl<RevalidatePacket> {
public:
    static Lumo::Objects::UString* StaticClassName(); ///< "Brio::Scene::RevalidatePacket"
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;
    static int NetObjectCount() { return Lumo::Scene::NetObjectCountImpl<RevalidatePacket>::Count(); }
    int CurObjectCount() const override { return NetObjectCount(); }

    /// change-type bits of the graphics system's word that this library sets or tests
    static constexpr std::uint32_t kNewGeometry = 0x1;
    static constexpr std::uint32_t kTransformChange = 0x2;
    static constexpr std::uint32_t kEffectChange = 0x4;
    static constexpr std::uint32_t kOpacityChange = 0x400;
    static constexpr std::uint32_t kLineStyleChange = 0x800;
    static constexpr std::uint32_t kAttributeChange = 0x10000;
    static constexpr std::uint32_t kBillBoardChange = 0x4000000;
    static constexpr std::uint32_t kNewBox = kNewBoundingBox;
    /// Changes that move or resize what a node shows.
    static bool affectsWorldBox(std::uint32_t changeType) {
        return (changeType & (kNewGeometry | kTransformChange | kNewBox)) != 0;
    }

    /// The source's node, revalidation types and new-mesh levels; of its change type only
    /// new geometry and new box.
    static RevalidatePacket* make(const Brio::Scene::ChangePacket& source);
    ~RevalidatePacket() override;

    DataChange::EChangeType revalidationTypes() const { return m_revalidate; }
    std::uint16_t newMeshLevels() const { return m_newMeshLevels; }
    /// The proxy reference node whose tree carries the attribute changes; null when none.
    Lumo::Graphics::GroupNode* attributeHolder() const { return m_holder; }

    /// Asks the node's source again for what new data has not
    /// already satisfied; answers false, as the node itself is not changed.
    bool UpdateNode() override;
    IChangePacket* MergeChanges(IChangePacket& later) override;

protected:
    explicit RevalidatePacket(Lumo::Graphics::ARenderNode* node);
    /// The revalidate part of a merge: a later geometry revalidation makes this packet's new
    /// meshes and box obsolete; then the unions.
    void mergeRevalidate(const RevalidatePacket& later);

    Lumo::Objects::AutoPtr<Lumo::Graphics::GroupNode> m_holder;
    DataChange::EChangeType m_revalidate = DataChange::eNoChange;
    std::uint16_t m_newMeshLevels = 0;
};

} // namespace Brio::Scene
