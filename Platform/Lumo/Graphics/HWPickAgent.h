#pragma once
#include <Lumo/Graphics/AAgent.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mat4.h>

#include <vector>

namespace Lumo::Devices {
class RenderItem;
class SimpleMesh;
} // namespace Lumo::Devices

namespace Lumo::Graphics {

class ARenderNode;
class PickSetup;

/// The hardware pick ("HWPickAgent"): keeps only what is seen. It records the pickable render
/// items of each leaf during the walk and, at the end of the pass, draws them on the device
/// in colours that name them, depth tested, into an image of the pick region (under the draw
/// context's view and narrowed projection), then reports each item that owns a pixel once,
/// as a FacetIntersection (facet -1) at its nearest pixel's world point, with the pixel's
/// depth as its distance. Items hidden behind others are not reported; window picks keep
/// only items wholly inside the rectangle. Reads its pick from the "Pick Setup" renderer
/// parameter (SWPickAgent::SetupName()); without a GL device (a GPU-free walk) it reports
/// nothing.
class HWPickAgent : public AAgent {
    LUMO_DECLARE_CLASS()
public:
    static HWPickAgent* Make() { return new HWPickAgent; }
    ~HWPickAgent() override;
    AAgent* Clone() const override { return new HWPickAgent; }
    bool BeginPass(Lumo::Devices::ADrawContext& dc) override;
    int Process(Lumo::Devices::ADrawContext& dc, TraversalState& state) override;
    void EndPass(Lumo::Devices::ADrawContext& dc, AWorld* world) override;
    bool WantsItems() const override { return true; }

    /// The longest side of the id image: larger regions are drawn at a coarser scale.
    static constexpr int kMaxSide = 2048;
    /// Items drawn by the last pass (0 when it had no device).
    int DrawnCount() const { return m_drawn; }

protected:
    HWPickAgent();

private:
    struct Record {
        Lumo::Objects::AutoPtr<Lumo::Devices::RenderItem> item;
        Lumo::Objects::AutoPtr<Lumo::Devices::SimpleMesh> mesh;
        Lumo::Objects::mat4<double> world;
        std::vector<Lumo::Objects::AutoPtr<ARenderNode>> path; // root first; the leaf last
    };
    void Forget();

    Lumo::Objects::AutoPtr<PickSetup> m_setup;
    std::vector<Record> m_records;
    int m_drawn = 0;
};

} // namespace Lumo::Graphics
