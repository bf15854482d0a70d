#include <Brio/DataModel/MigrationHelper.h>

namespace Brio {

MigrationHelper::~MigrationHelper() = default;

} // namespace Brio
