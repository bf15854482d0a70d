#include <Lumo/Devices/SelectionContext.h>

namespace Lumo::Devices {

LUMO_DEFINE_CLASS(SelectionContext, Lumo::Objects::ARefCounted)

} // namespace Lumo::Devices
