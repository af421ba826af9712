#pragma once

// Installs the busy cursor of a Qt application as the wait cursor's
// presenter (base/WaitCursor.h): the override cursor while a show runs.
void InstallQtWaitCursor();
