#pragma once
#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassMacros.h>

#include <memory>
#include <vector>

namespace Lumo::Graphics {

class TraversalState;

/// Copies of traversal states kept past their walk: transparent states collected for a later
/// sorted pass, states deferred by agents. Copies are pooled: clearing keeps the objects so
/// that a steady frame refills the list without allocating.
class TraversalStateList : public Lumo::Objects::ARefCounted {
    LUMO_DECLARE_CLASS()
public:
    static TraversalStateList* Make();
    ~TraversalStateList() override;

    /// Appends a copy of state (with the items its node added); answers the copy.
    TraversalState& Add(const TraversalState& state);
    int Count() const { return m_count; }
    TraversalState& At(int index) const { return *m_states[size_t(index)]; }
    /// Releases what the copies hold and empties the list (the copies stay for reuse).
    void Clear();
    /// Reorders the first Count() states by the given permutation of indices.
    void Reorder(const std::vector<int>& order);

protected:
    TraversalStateList();

private:
    std::vector<std::unique_ptr<TraversalState>> m_states;
    int m_count = 0;
};

} // namespace Lumo::Graphics
