#include <Lumo/Objects/ClassRegistry.h>
#include <Lumo/Objects/IBaseInterface.h>

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace Lumo::Objects {

namespace {
struct Table {
    std::shared_mutex mutex;
    std::unordered_map<UString*, UString*> bases;
};
Table& GetTable() {
    static Table* table = new Table; // outlives every static that names a class
    return *table;
}
} // namespace

UString* ClassRegistry::Register(UString* cls, UString* base) {
    Table& t = GetTable();
    std::unique_lock lock(t.mutex);
    t.bases[cls] = base;
    return cls;
}

UString* ClassRegistry::BaseOf(UString* cls) {
    Table& t = GetTable();
    std::shared_lock lock(t.mutex);
    auto it = t.bases.find(cls);
    return it == t.bases.end() ? nullptr : it->second;
}

std::vector<UString*> ClassRegistry::Chain(UString* cls) {
    std::vector<UString*> chain;
    // Bounded: a registration mistake must not loop forever.
    for (UString* c = cls; c && chain.size() < 64; c = BaseOf(c))
        chain.push_back(c);
    return chain;
}

std::vector<UString*> ClassRegistry::Chain(const IBaseInterface* object) {
    return object ? Chain(object->ClassName()) : std::vector<UString*>{};
}

bool ClassRegistry::DerivesFrom(UString* cls, UString* ancestor) {
    for (UString* c : Chain(cls))
        if (c == ancestor)
            return true;
    return false;
}

} // namespace Lumo::Objects
