#include <Brio/Base/LocalizedString.h>

#include <Brio/Base/StringTable.h>

namespace Brio {

std::wstring LocalizedString::text() const {
    return StringTable::getLocalizedString(area, key, englishDefault);
}

} // namespace Brio
