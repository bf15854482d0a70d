#pragma once

/// The process's user-interface thread. Until a host names it, it is the thread that loaded
/// the library (normally the main thread).
namespace Brio::OS {

bool isUIThread();
/// Makes the calling thread the UI thread (a host calls it from its main loop).
void setUIThread();

} // namespace Brio::OS
