#include <Brio/Base/EventFilter.h>

namespace Brio {

EventFilter::~EventFilter() = default;

} // namespace Brio
