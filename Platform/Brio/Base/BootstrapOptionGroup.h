#pragma once
#include <Brio/Base/OptionGroup.h>

namespace Brio {

/// The preferences read when the application starts, before anything that they choose is
/// made ("BootstrapOptionGroup", in "BootstrapOptions.xml"). Libraries add their start-up
/// options to it, such as the scene library's graphics driver.
class BootstrapOptionGroup : public OptionGroup {
public:
    /// The group, made and loaded on first use.
    static BootstrapOptionGroup* get();

protected:
    std::filesystem::path onPersistFile() const override;

private:
    BootstrapOptionGroup();
};

} // namespace Brio
