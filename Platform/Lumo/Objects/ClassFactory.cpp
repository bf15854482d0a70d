#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassFactory.h>

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace Lumo::Objects {

struct ClassFactory::Impl {
    mutable std::shared_mutex mutex;
    std::unordered_map<UString*, Creator> creators;
};

ClassFactory::ClassFactory() : m_impl(new Impl) {}
ClassFactory::~ClassFactory() {
    delete m_impl;
}

ClassFactory& ClassFactory::Get() {
    static ClassFactory factory;
    return factory;
}

void ClassFactory::Register(UString* name, Creator creator) {
    std::unique_lock lock(m_impl->mutex);
    if (creator)
        m_impl->creators[name] = std::move(creator);
    else
        m_impl->creators.erase(name);
}

void ClassFactory::Unregister(UString* name) {
    Register(name, nullptr);
}

bool ClassFactory::IsRegistered(UString* name) const {
    std::shared_lock lock(m_impl->mutex);
    return m_impl->creators.count(name) != 0;
}

ARefCounted* ClassFactory::Create(UString* name) const {
    Creator creator;
    {
        std::shared_lock lock(m_impl->mutex);
        auto it = m_impl->creators.find(name);
        if (it == m_impl->creators.end())
            return nullptr;
        creator = it->second; // called outside the lock: it may register others
    }
    return creator();
}

} // namespace Lumo::Objects
