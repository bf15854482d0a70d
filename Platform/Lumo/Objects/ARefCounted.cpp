#include <Lumo/Objects/ARefCounted.h>
#include <Lumo/Objects/ClassRegistry.h>
#include <Lumo/Objects/UString.h>

namespace Lumo::Objects {

namespace {
std::atomic<int> g_live{0};
UString* BaseInterfaceName() {
    static UString* name = Intern(L"IBaseInterface");
    return name;
}
} // namespace

ARefCounted::ARefCounted() {
    g_live.fetch_add(1, std::memory_order_relaxed);
}
ARefCounted::ARefCounted(const ARefCounted&) : IBaseInterface(), HeapOperators() {
    g_live.fetch_add(1, std::memory_order_relaxed);
}
ARefCounted::~ARefCounted() {
    g_live.fetch_sub(1, std::memory_order_relaxed);
}

UString* ARefCounted::StaticClassName() {
    static UString* name = ClassRegistry::Register(Intern(L"ARefCounted"), BaseInterfaceName());
    return name;
}

void* ARefCounted::GetInterface(UString* name) {
    if (name == StaticClassName() || name == BaseInterfaceName())
        return this;
    return nullptr;
}

UString* ARefCounted::ClassName() const {
    return StaticClassName();
}

void ARefCounted::Delete() {
    delete this;
}

int ARefCounted::AddRef() {
    return m_refCount.fetch_add(1, std::memory_order_relaxed) + 1;
}

int ARefCounted::ReleaseRef() {
    int left = m_refCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left <= 0)
        Delete();
    return left;
}

void ARefCounted::RefCount(int count) {
    m_refCount.store(count, std::memory_order_relaxed);
}
int ARefCounted::RefCount() const {
    return m_refCount.load(std::memory_order_relaxed);
}
int ARefCounted::CurObjectCount() const {
    return g_live.load(std::memory_order_relaxed);
}
int ARefCounted::NetObjectCount() {
    return g_live.load(std::memory_order_relaxed);
}

} // namespace Lumo::Objects
