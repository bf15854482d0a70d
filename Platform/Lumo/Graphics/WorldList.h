#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/AutoPtr.h>
#include <Lumo/Objects/ClassMacros.h>

#include <vector>

namespace Lumo::Graphics {

class ARenderNode;

/// Several roots drawn as one world (an environment's scenery and dome, say).
class WorldList : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static WorldList* Make();
    ~WorldList() override;
    void Add(ARenderNode* node);
    int Count() const { return int(m_nodes.size()); }
    ARenderNode* At(int i) const;
    void Clear();

protected:
    WorldList();

private:
    std::vector<Lumo::Objects::AutoPtr<ARenderNode>> m_nodes;
};

} // namespace Lumo::Graphics
