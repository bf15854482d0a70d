#pragma once
#include <Lumo/Graphics/GroupChangePacket.h>
#include <Scene/Change/MergedPackets.h>
#include <Scene/Foundations/NetObjectCountImpl.h>

namespace Brio::Scene {

/// The scene's packet of children to add to and remove from a group; the graphics system's
/// group packet applies and merges it.
class GroupChangePacket : public Lumo::Graphics::GroupChangePacket,
                          public Lumo::Scene::NetObjectCountImpl<GroupChangePacket> {
public:
    static Lumo::Objects::UString* StaticClassName(); ///< "Brio::Scene::GroupChangePacket"
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;
    static int NetObjectCount() { return Lumo::Scene::NetObjectCountImpl<GroupChangePacket>::Count(); }
    int CurObjectCount() const override { return NetObjectCount(); }

    static GroupChangePacket* make(Lumo::Graphics::BaseGroupNode* group);

    /// Adds and removes children, then applies the other packets merged into this one.
    bool UpdateNode() override;
    /// Group packets fold in; a packet of another class for the group (a scene change
    /// packet) is kept whole and applied after this one.
    IChangePacket* MergeChanges(IChangePacket& later) override;
    int mergedPacketCount() const { return m_merged.count(); }

protected:
    explicit GroupChangePacket(Lumo::Graphics::BaseGroupNode* group);

private:
    MergedPackets m_merged;
};

} // namespace Brio::Scene
