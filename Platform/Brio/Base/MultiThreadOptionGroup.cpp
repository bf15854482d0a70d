#include <Brio/Base/MultiThreadOptionGroup.h>

namespace Brio {

namespace {
LocalizedString Text(const wchar_t* key, const wchar_t* english) {
    return LocalizedString{L"Brio", key, english};
}
} // namespace

MultiThreadOptionGroup::MultiThreadOptionGroup()
    : OptionGroup("MultiThreadOptionGroup", Text(L"MultiThreadOptionsUserName", L"Multi-threading"),
                  Text(L"MultiThreadOptionsToolTip", L"Preferences that control the use of several threads")),
      m_multiThreadLumo("multiThreadLumoId", Text(L"multiThreadLumoUserName", L"Multi-threaded graphics"),
                        Text(L"multiThreadLumoToolTip", L"Draw and pick with several threads"), *this, false,
                        OptionBase::eAdvanced),
      m_multiThreadBatchFacet("multiThreadBatchFacetId",
                              Text(L"multiThreadBatchFacetUserName", L"Multi-threaded faceting"),
                              Text(L"multiThreadBatchFacetToolTip", L"Facet bodies in batches on several threads"),
                              *this, false, OptionBase::eAdvanced) {}

MultiThreadOptionGroup* MultiThreadOptionGroup::get() {
    static MultiThreadOptionGroup group;
    static const bool loaded = (group.load(), true); // once, after every option has joined
    (void)loaded;
    return &group;
}

} // namespace Brio
