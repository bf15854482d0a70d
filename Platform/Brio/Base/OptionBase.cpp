#include <Brio/Base/OptionBase.h>

#include <Brio/Base/OptionGroup.h>

namespace Brio {

OptionBase::OptionBase(std::string id, LocalizedString userName, LocalizedString toolTip, OptionGroup& group,
                       unsigned flags)
    : m_id(std::move(id)), m_userName(std::move(userName)), m_toolTip(std::move(toolTip)), m_flags(flags),
      m_group(&group) {}

OptionBase::~OptionBase() { leave(); }

OptionGroup* OptionBase::group() const {
    std::lock_guard lock(m_mutex);
    return m_group;
}

void OptionBase::join() {
    OptionGroup* g = group();
    if (g && !m_joined) {
        m_joined = true;
        g->add(*this);
    }
}

void OptionBase::leave() {
    OptionGroup* g = group();
    if (g && m_joined) {
        m_joined = false;
        g->remove(*this);
    }
}

int OptionBase::addListener(Listener listener) {
    if (!listener)
        return 0;
    std::lock_guard lock(m_mutex);
    const int id = m_nextListener++;
    m_listeners.emplace_back(id, std::move(listener));
    return id;
}

bool OptionBase::removeListener(int listenerId) {
    std::lock_guard lock(m_mutex);
    return std::erase_if(m_listeners, [&](const auto& l) { return l.first == listenerId; }) > 0;
}

void OptionBase::changed() {
    std::vector<std::pair<int, Listener>> listeners;
    OptionGroup* g = nullptr;
    {
        std::lock_guard lock(m_mutex);
        listeners = m_listeners; // a copy: a listener may remove itself
        g = m_joined ? m_group : nullptr;
    }
    for (auto& [id, listener] : listeners)
        listener(*this);
    if (g)
        g->optionChanged(*this);
}

} // namespace Brio
