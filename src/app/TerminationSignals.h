#pragma once

#include <functional>

// Turns SIGINT, SIGTERM and SIGHUP into a call on the user-interface thread,
// so that stopping the process from a terminal or a session manager closes
// the windows as Exit does (and quote windows still write their logs).
// Signal handlers may only write to a pipe; a socket notifier picks it up.
void InstallTerminationHandler(std::function<void()> onTerminate);
