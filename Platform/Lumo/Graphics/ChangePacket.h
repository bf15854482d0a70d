#pragma once
#include <Lumo/Graphics/IChangePacket.h>
#include <Lumo/Objects/SBox3.h>

namespace Lumo::Graphics {

/// The graphics system's base packet for one node: the node (held) and an optional new
/// bounding box. Applying it marks the node's cached box stale (kinds that store boxes take
/// the new one); merging keeps the later box and every change bit.
class ChangePacket : public IChangePacket {
    LUMO_DECLARE_CLASS()
public:
    static constexpr std::uint32_t kNewBoundingBox = 0x8000000;

    static ChangePacket* Make(ARenderNode* node);
    ~ChangePacket() override;

    ARenderNode* Node() override { return m_node; }
    bool UpdateNode() override;
    IChangePacket* MergeChanges(IChangePacket& later) override;

    /// The box to give the node (marks the packet with kNewBoundingBox).
    void NewBoundingBox(const Lumo::Objects::SBox3& box);
    const Lumo::Objects::SBox3& NewBoundingBox() const { return m_box; }
    bool HasNewBoundingBox() const { return (ChangeType() & kNewBoundingBox) != 0; }

protected:
    explicit ChangePacket(ARenderNode* node);

private:
    ARenderNode* m_node; // one reference
    Lumo::Objects::SBox3 m_box;
};

} // namespace Lumo::Graphics
