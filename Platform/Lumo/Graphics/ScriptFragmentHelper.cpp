#include <Lumo/Graphics/ScriptFragmentHelper.h>
#include <Lumo/Graphics/StyleGraphs.h>

#include <Lumo/Devices/AFragment.h>
#include <Lumo/Objects/AutoPtr.h>

#include <mutex>
#include <unordered_map>

namespace Lumo::Graphics {

namespace {
struct Manager {
    std::recursive_mutex mutex; // registering stock fragments re-enters
    std::unordered_map<const Lumo::Objects::UString*, Lumo::Objects::AutoPtr<Lumo::Devices::AFragment>> fragments;
    bool stockRegistered = false;
};
Manager& GetManager() {
    static Manager* manager = new Manager; // outlives every static that acquires fragments
    return *manager;
}
void EnsureStock(Manager& m) {
    if (!m.stockRegistered) {
        m.stockRegistered = true;
        StyleGraphs::RegisterStockFragments();
    }
}
} // namespace

void ScriptFragmentHelper::RegisterFragment(Lumo::Devices::AFragment* fragment) {
    if (!fragment || !fragment->Name())
        return;
    Manager& m = GetManager();
    std::lock_guard lock(m.mutex);
    m.fragments[fragment->Name()] = fragment;
}

Lumo::Devices::AFragment* ScriptFragmentHelper::AcquireFragment(const Lumo::Objects::UString* name) {
    Manager& m = GetManager();
    std::lock_guard lock(m.mutex);
    EnsureStock(m);
    auto it = m.fragments.find(name);
    return it == m.fragments.end() ? nullptr : it->second.get();
}

int ScriptFragmentHelper::FragmentCount() {
    Manager& m = GetManager();
    std::lock_guard lock(m.mutex);
    return static_cast<int>(m.fragments.size());
}

void ScriptFragmentHelper::InitializeFragmentManager() {
    Manager& m = GetManager();
    std::lock_guard lock(m.mutex);
    EnsureStock(m);
}

void ScriptFragmentHelper::TerminateFragmentManager() {
    Manager& m = GetManager();
    decltype(m.fragments) dropped;
    {
        std::lock_guard lock(m.mutex);
        dropped.swap(m.fragments);
        m.stockRegistered = false;
    }
}

} // namespace Lumo::Graphics
