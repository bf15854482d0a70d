#include <Brio/DataModel/DataModelCallback.h>

namespace Brio {

DataModelCallback::~DataModelCallback() = default;

} // namespace Brio
