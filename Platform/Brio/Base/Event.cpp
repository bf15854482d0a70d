#include <Brio/Base/Event.h>

namespace Brio {

Event::~Event() = default;

} // namespace Brio
