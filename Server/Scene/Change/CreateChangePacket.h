#pragma once
#include <Lumo/Graphics/IChangePacket.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Scene/Foundations/NetObjectCountImpl.h>

#include <cstdint>

namespace Lumo::Graphics {
class ARenderNode;
}

namespace Brio::Scene {

/// Tells the server-to-client manager that a node was created, under the node's sync id. It
/// changes no node: it has no node, applying does nothing, merging keeps it.
class CreateChangePacket : private Lumo::Graphics::IChangePacket,
                           public Lumo::Scene::NetObjectCountImpl<CreateChangePacket> {
public:
    enum ECreateType : std::uint32_t {
        eCreateGeometry = 0,
        eCreateLODGeometry = 1,
        eCreateGroup = 2,
        eCreateComponent = 3,
        eCreateBody = 4,
        eCreateInstance = 5,
        eCreateRefInstance = 7,
    };

    static Lumo::Objects::UString* StaticClassName(); ///< "Brio::Scene::CreateChangePacket"
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;
    static int NetObjectCount() { return Lumo::Scene::NetObjectCountImpl<CreateChangePacket>::Count(); }
    int CurObjectCount() const override { return NetObjectCount(); }
    using IChangePacket::AddRef;
    using IChangePacket::RefCount;
    using IChangePacket::ReleaseRef;

    /// A packet for a just-created node; the world type counts for groups, components and
    /// bodies (1 otherwise), the extended flag for groups only. The node gets its sync id.
    static CreateChangePacket* make(ECreateType type, Lumo::Graphics::ARenderNode* node, std::uint32_t worldType,
                                    bool extended);
    ~CreateChangePacket() override;

    /// The packet as what object managers take.
    Lumo::Graphics::IChangePacket* packet() { return this; }

    ECreateType createType() const { return m_type; }
    std::uint64_t nodeId() const { return m_nodeId; }
    std::uint32_t worldType() const { return m_worldType; }
    bool extended() const { return m_extended != 0; }
    Lumo::Graphics::ARenderNode* newNode() const { return m_node; }

    Lumo::Graphics::ARenderNode* Node() override { return nullptr; }
    bool UpdateNode() override { return true; }
    IChangePacket* MergeChanges(IChangePacket&) override { return this; }

    /// The node's sync id, given on first request from the process-wide counter; 0 for null.
    static std::uint64_t syncId(Lumo::Graphics::ARenderNode* node);
    /// Whether the node has been given a sync id.
    static bool hasSyncId(Lumo::Graphics::ARenderNode* node);
    static std::uint64_t GetUniqueNodeID();
    static void ResetUniqueNodeID();

private:
    CreateChangePacket(ECreateType type, Lumo::Graphics::ARenderNode* node, std::uint32_t worldType, bool extended);

    ECreateType m_type;
    std::uint64_t m_nodeId;
    std::uint32_t m_worldType;
    std::uint8_t m_extended;
    Lumo::Objects::AutoPtr<Lumo::Graphics::ARenderNode> m_node;
};

} // namespace Brio::Scene
