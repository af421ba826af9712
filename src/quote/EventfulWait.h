#pragma once

#include <atomic>
#include <functional>

// Runs `work` on a thread of its own and returns when it has finished. When
// called on the thread of the application's event loop, that thread goes on
// handling events meanwhile (repaints, menus, timers, other windows), as a
// modal message box lets it: the caller must expect the same re-entrancy. On
// any other thread, or without a QCoreApplication, `work` simply runs here.
//
// `work` receives a flag that turns true when it should give up early: the
// application is leaving its event loops (Exit while the work runs). The
// caller must not rely on objects that the events may have destroyed.
void RunWhileHandlingEvents(const std::function<void(const std::atomic<bool>& cancel)>& work);
