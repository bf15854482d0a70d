#include <Brio/Base/OptionBase.h>

#include <Brio/Base/OptionGroup.h>

namespace Brio {

OptionBase::OptionBase(std::string id, LocalizedString userName, LocalizedString toolTip, OptionGroup& group,
                       unsigned flags)
    : m_id(std::move(id)), m_userName(std::move(userName)), m_toolTip(std::move(toolTip)), m_flags(flags),
      m_group(&group) {}

OptionBase::~OptionBase() {
    leave();
}

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
    return m_listeners.add(std::move(listener));
}

bool OptionBase::removeListener(int listenerId) {
    return m_listeners.remove(listenerId);
}

void OptionBase::changed() {
    OptionGroup* g = nullptr;
    {
        std::lock_guard lock(m_mutex);
        g = m_joined ? m_group : nullptr;
    }
    m_listeners.call(*this);
    if (g)
        g->optionChanged(*this);
}

} // namespace Brio
