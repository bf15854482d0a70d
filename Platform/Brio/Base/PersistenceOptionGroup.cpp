#include <Brio/Base/PersistenceOptionGroup.h>

namespace Brio {

namespace {
LocalizedString Text(const wchar_t* key, const wchar_t* english) {
    return LocalizedString{L"Brio", key, english};
}
} // namespace

PersistenceOptionGroup::PersistenceOptionGroup()
    : OptionGroup("PersistenceOptionGroup", Text(L"PersistenceOptionsUserName", L"Document persistence"),
                  Text(L"PersistenceOptionsToolTip", L"Preferences that control what documents keep")),
      m_persistLumo("persistLumoId", Text(L"persistLumoUserName", L"Keep the graphics in documents"),
                    Text(L"persistLumoToolTip", L"Save the scene's render graph with each document"), *this, false,
                    OptionBase::eAdvanced) {}

PersistenceOptionGroup* PersistenceOptionGroup::get() {
    static PersistenceOptionGroup group;
    static const bool loaded = (group.load(), true); // once, after every option has joined
    (void)loaded;
    return &group;
}

} // namespace Brio
