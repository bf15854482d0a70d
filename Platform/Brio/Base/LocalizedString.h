#pragma once
#include <string>

namespace Brio {

/// A user-facing text named by its message key: the area and key it is looked up under in
/// the StringTable and its English text. Option names and tooltips are kept this way so that
/// they are translated when shown, not when made.
struct LocalizedString {
    std::wstring area;
    std::wstring key;
    std::wstring englishDefault;

    /// The text in the current locale.
    std::wstring text() const;
};

} // namespace Brio
