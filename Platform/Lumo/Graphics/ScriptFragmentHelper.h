#pragma once

namespace Lumo::Objects {
class UString;
}
namespace Lumo::Devices {
class AFragment;
}

namespace Lumo::Graphics {

/// The process-wide manager of named fragments: libraries register prototypes, users acquire
/// them by name. Safe from any thread.
class ScriptFragmentHelper {
public:
    /// Registers (or replaces) a fragment under its name; the manager holds a reference.
    static void RegisterFragment(Lumo::Devices::AFragment* fragment);
    /// The fragment of that name (the manager keeps it; no reference is added), or null.
    static Lumo::Devices::AFragment* AcquireFragment(const Lumo::Objects::UString* name);
    static int FragmentCount();
    /// Makes the manager and registers the stock fragments; done on first use anyway.
    static void InitializeFragmentManager();
    /// Drops every registered fragment.
    static void TerminateFragmentManager();
};

} // namespace Lumo::Graphics
