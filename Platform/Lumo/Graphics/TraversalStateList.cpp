#include <Lumo/Graphics/TraversalState.h>
#include <Lumo/Graphics/TraversalStateList.h>

namespace Lumo::Graphics {

LUMO_DEFINE_CLASS(TraversalStateList, Lumo::Objects::ARefCounted)

TraversalStateList::TraversalStateList() = default;
TraversalStateList::~TraversalStateList() = default;

TraversalStateList* TraversalStateList::Make() {
    return new TraversalStateList;
}

TraversalState& TraversalStateList::Add(const TraversalState& state) {
    if (m_count == int(m_states.size()))
        m_states.push_back(std::make_unique<TraversalState>());
    TraversalState& copy = *m_states[size_t(m_count++)];
    copy.CopyFrom(state);
    return copy;
}

void TraversalStateList::Clear() {
    for (int i = 0; i < m_count; ++i)
        m_states[size_t(i)]->Release();
    m_count = 0;
}

void TraversalStateList::Reorder(const std::vector<int>& order) {
    if (int(order.size()) != m_count)
        return;
    std::vector<std::unique_ptr<TraversalState>> sorted;
    sorted.reserve(m_states.size());
    std::vector<bool> used(size_t(m_count), false);
    for (int i : order) {
        if (i < 0 || i >= m_count || used[size_t(i)])
            return; // not a permutation: leave the list as it was
        used[size_t(i)] = true;
    }
    for (int i : order)
        sorted.push_back(std::move(m_states[size_t(i)]));
    for (size_t i = size_t(m_count); i < m_states.size(); ++i)
        sorted.push_back(std::move(m_states[i]));
    m_states.swap(sorted);
}

} // namespace Lumo::Graphics
