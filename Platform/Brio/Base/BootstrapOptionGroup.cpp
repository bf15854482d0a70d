#include <Brio/Base/BootstrapOptionGroup.h>

#include <Brio/Base/PathInfo.h>

namespace Brio {

BootstrapOptionGroup::BootstrapOptionGroup()
    : OptionGroup(
          "BootstrapOptionGroup", LocalizedString{L"Brio", L"BootstrapOptionsUserName", L"Start-up"},
          LocalizedString{L"Brio", L"BootstrapOptionsToolTip", L"Preferences read when the application starts"}) {}

std::filesystem::path BootstrapOptionGroup::onPersistFile() const {
    return PathInfo::optionsDirectory(0) / "BootstrapOptions.xml";
}

BootstrapOptionGroup* BootstrapOptionGroup::get() {
    static BootstrapOptionGroup group;
    static const bool loaded = (group.load(), true); // once, after every option has joined
    (void)loaded;
    return &group;
}

} // namespace Brio
