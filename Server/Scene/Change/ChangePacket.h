#pragma once
#include <Lumo/Devices/SimpleMesh.h>
#include <Lumo/Graphics/APrimitive.h>
#include <Scene/Change/MergedPackets.h>
#include <Scene/Change/NodeData.h>
#include <Scene/Change/RevalidatePacket.h>

#include <cstdint>
#include <map>
#include <string>

namespace Lumo::Scene {
class AttributeSet;
}

namespace Brio::Scene {

/// Everything one node change said about one render node, until the change manager applies
/// it: attributes (a proxy reference-node tree), meshes per level of detail, a primitive, a
/// box, node-data values, text and render-node flags. Later packets for the node merge into it.
class ChangePacket : public RevalidatePacket, public Lumo::Scene::NetObjectCountImpl<ChangePacket> {
public:
    static Lumo::Objects::UString* StaticClassName(); ///< "Brio::Scene::ChangePacket"
    Lumo::Objects::UString* ClassName() const override;
    void* GetInterface(Lumo::Objects::UString* name) override;
    static int NetObjectCount() { return Lumo::Scene::NetObjectCountImpl<ChangePacket>::Count(); }
    int CurObjectCount() const override { return NetObjectCount(); }

    static constexpr int kLevels = 16;
    /// render flags turned off on nodes whose geometry or primitive is replaced
    static constexpr std::uint32_t kGeometryDerivedFlags = 0x1100;
    /// render flag set on a node while a packet's attribute tree is applied to it
    static constexpr std::uint32_t kApplyingFlag = 0x40;

    /// An empty packet for node.
    static ChangePacket* make(Lumo::Graphics::ARenderNode* node);
    ~ChangePacket() override;

    void qualifier(std::uint64_t q);
    bool hasQualifier() const { return m_hasQualifier; }
    std::uint64_t qualifier() const { return m_qualifier; }
    void clientType(std::uint32_t types);
    bool hasClientType() const { return m_hasClientType; }
    std::uint32_t clientType() const { return m_clientType; }
    void doubleSided(EDoubleSided mode);
    bool hasDoubleSided() const { return m_hasDoubleSided; }
    EDoubleSided doubleSided() const { return m_doubleSided; }
    void textData(const wchar_t* text);
    bool hasTextData() const { return m_hasText; }
    const std::wstring& textData() const { return m_text; }
    /// Replaces the primitive to give the node (null clears the node's); new geometry.
    void primitive(Lumo::Graphics::APrimitive* primitive);
    bool hasPrimitive() const { return m_hasPrimitive; }
    Lumo::Graphics::APrimitive* primitive() const { return m_primitive; }

    /// The mesh for a level of detail (0..15); a null mesh or a bad level is ignored.
    void geometry(Lumo::Devices::SimpleMesh* mesh, int lod);
    /// The carried mesh of a level, or null.
    Lumo::Devices::SimpleMesh* mesh(int lod) const;
    /// A new box for the node; an empty box is ignored.
    void boundingBox(const Lumo::Objects::SBox3& box);

    /// With on the bits are to be turned on, else off; a later call wins for its bits.
    void setFlags(std::uint32_t mask, bool on);
    bool hasFlags() const { return m_hasFlags; }
    std::uint32_t flagsOn() const { return m_flagsOn; }
    std::uint32_t flagsOff() const { return m_flagsOff; }

    /// Adds revalidation types; a geometry revalidation makes new meshes and boxes obsolete.
    void invalidate(DataChange::EChangeType types);

    /// The attribute holder; with create, made on first need as a proxy reference node
    /// that targets this packet's node and hangs nowhere.
    using RevalidatePacket::attributeHolder;
    Lumo::Graphics::GroupNode* attributeHolder(bool create);
    /// The holder's attribute set (holder made on first need).
    Lumo::Scene::AttributeSet* attributeSet();

    /// Reduces the change type to what the data itself says, then adds the attribute bits
    /// the holder's tree calls for. Run before posting and after every merge.
    void prepare();

    /// Applies the packet, then the packets of other classes merged into it.
    bool UpdateNode() override;
    /// Folds a later scene change packet in; a packet of another class (a group packet for
    /// the same node) is kept whole and applied after this one.
    IChangePacket* MergeChanges(IChangePacket& later) override;
    /// Packets of other classes carried.
    int mergedPacketCount() const { return m_merged.count(); }

    /// When not empty, the packet's dump is written there after every merge.
    void dumpPath(const std::wstring& path) { m_dumpPath = path; }
    const std::wstring& dumpPath() const { return m_dumpPath; }
    /// Writes the packet's XML dump through the installed writer; false without one or when
    /// writing failed.
    bool testDumpToXML(const std::wstring& path) const;
    using DumpWriter = bool (*)(const ChangePacket& packet, const std::wstring& path);
    static void dumpWriter(DumpWriter writer);
    static DumpWriter dumpWriter();

protected:
    explicit ChangePacket(Lumo::Graphics::ARenderNode* node);

private:
    friend class RevalidatePacket;
    void dropMeshesOutside(std::uint16_t levels);
    void applyOwn(Lumo::Graphics::ARenderNode* node);

    std::uint64_t m_qualifier = 0;
    std::uint32_t m_clientType = 0;
    EDoubleSided m_doubleSided = eDoubleSidedOff;
    bool m_hasQualifier = false, m_hasClientType = false, m_hasDoubleSided = false;
    std::wstring m_text;
    bool m_hasText = false;
    Lumo::Objects::AutoPtr<Lumo::Graphics::APrimitive> m_primitive;
    bool m_hasPrimitive = false;
    std::map<int, Lumo::Objects::AutoPtr<Lumo::Devices::SimpleMesh>> m_meshes;
    std::uint32_t m_flagsOn = 0, m_flagsOff = 0;
    bool m_hasFlags = false;
    std::wstring m_dumpPath;
    MergedPackets m_merged; // group packets and others for this node, applied after it
};

} // namespace Brio::Scene
