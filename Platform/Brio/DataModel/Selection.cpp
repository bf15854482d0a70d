#include <Brio/Base/UniqueString.h>
#include <Brio/DataModel/Selection.h>

namespace Brio {

Selection::~Selection() = default;

const UniqueString* Selection::interfaceId() {
    static const UniqueString* id = UniqueString::find(L"Brio::Selection");
    return id;
}

void* Selection::queryInterface(const UniqueString* id) const {
    return id == interfaceId() ? const_cast<Selection*>(this) : Object::queryInterface(id);
}

StrongRef<Selection> Selection::alternateSelection(const UniqueString* key) const {
    auto it = m_alternates.find(key);
    return it == m_alternates.end() ? StrongRef<Selection>() : it->second;
}

void Selection::alternateSelection(const UniqueString* key, const StrongRef<Selection>& alternate) {
    if (!alternate) {
        m_alternates.erase(key);
        return;
    }
    if (auto it = m_alternates.find(key); it != m_alternates.end() && it->second.getTarget() == alternate.getTarget())
        return; // already recorded: nobody needs telling again (and a hook that records it ends here)
    // The alternates held before hear of the new one, so that they can follow (a scene
    // selection hands its hit information on, say). A copy: a hook may record alternates.
    const auto before = m_alternates;
    m_alternates[key] = alternate;
    for (const auto& [k, held] : before)
        if (held && held.getTarget() != alternate.getTarget())
            held->onPropagateAlternate(*alternate, key, *this);
}

void Selection::onPropagateAlternate(Selection&, const UniqueString*, Selection&) {}

} // namespace Brio
