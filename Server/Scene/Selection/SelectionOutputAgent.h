#pragma once
#include <Lumo/Graphics/AAgent.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/Mutex.h>
#include <Lumo/Objects/Vec.h>
#include <Scene/Attributes/Attribute.h>

#include <string>
#include <unordered_map>

namespace Lumo::Graphics {
class ARenderNode;
class IIntersection;
} // namespace Lumo::Graphics
namespace Lumo::Scene {
class Attribute;
class SelectionQualifier;
} // namespace Lumo::Scene

namespace Brio::Scene {

/// Keeps, for every leaf a pick visits, what the scene's traversal state says of it
/// (selectability, qualifier, priorities, slicing), under the key of the node and the walk's
/// path to it, so that the selector can judge each intersection afterwards.
class SelectionOutputAgent : public Lumo::Graphics::AAgent {
    LUMO_DECLARE_CLASS()
public:
    struct Record {
        bool selectable = true;
        int selectionPriority = 0, depthPriority = 0;
        /// The qualifier, owned by the selectability attribute the record keeps alive.
        Lumo::Scene::SelectionQualifier* qualifier = nullptr;
        Lumo::Objects::AutoPtr<Lumo::Scene::Attribute> selectability;
        bool halfSection = false;
        Lumo::Objects::vec4<float> plane; ///< the half section's clipping plane, world space
    };
    static SelectionOutputAgent* Make() { return new SelectionOutputAgent; }
    AAgent* Clone() const override { return new SelectionOutputAgent; }
    bool WantsItems() const override { return true; }
    int Process(Lumo::Devices::ADrawContext& dc, Lumo::Graphics::TraversalState& state) override;

    /// The record of the leaf an intersection lies on; null when the walk did not record it.
    const Record* find(const Lumo::Graphics::IIntersection& hit) const;
    void clear();

protected:
    SelectionOutputAgent() = default;

private:
    mutable Lumo::Objects::Threads::Mutex m_mutex;
    std::unordered_map<std::string, Record> m_records;
};

} // namespace Brio::Scene
