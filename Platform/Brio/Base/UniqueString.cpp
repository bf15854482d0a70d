#include <Brio/Base/UniqueString.h>

#include <Brio/Base/StringConversion.h>

#include <mutex>
#include <shared_mutex>
#include <unordered_map>

namespace Brio {

namespace {

struct Registry {
    std::shared_mutex mutex;
    // Keys view the text owned by the interned object, which never moves or dies.
    std::unordered_map<std::wstring_view, UniqueString*> map;
};

Registry& registry() {
    // Leaked on purpose: interned strings must outlive every static destructor that may use them.
    static Registry* instance = new Registry;
    return *instance;
}

} // namespace

UniqueString::UniqueString(std::wstring_view text) : m_text(text) {}

UniqueString* UniqueString::findView(std::wstring_view text, bool create) {
    Registry& reg = registry();
    {
        std::shared_lock lock(reg.mutex);
        auto it = reg.map.find(text);
        if (it != reg.map.end())
            return it->second;
    }
    if (!create)
        return nullptr;

    std::unique_lock lock(reg.mutex);
    // Another thread may have interned it between the two locks.
    auto it = reg.map.find(text);
    if (it != reg.map.end())
        return it->second;
    auto* created = new UniqueString(text);
    reg.map.emplace(std::wstring_view(created->m_text), created);
    return created;
}

UniqueString* UniqueString::find(const std::wstring& text, bool create) {
    return findView(text, create);
}

UniqueString* UniqueString::find(const wchar_t* text, bool create) {
    return findView(text ? std::wstring_view(text) : std::wstring_view(), create);
}

UniqueString* UniqueString::find(std::string_view utf8, bool create) {
    return findView(Utility::toWide(utf8), create);
}

UniqueString* UniqueString::find(const char* utf8, bool create) {
    return find(utf8 ? std::string_view(utf8) : std::string_view(), create);
}

} // namespace Brio
