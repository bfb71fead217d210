#pragma once

#include <QString>

// True when another process of this same executable file, run by this same user, holds the
// instance lock. Otherwise this process takes the lock and keeps it until it ends; asking again
// then answers false. Needs the application object. A lock left behind by a crashed or killed
// instance does not count, nor does a lock file that names no holder (empty, unreadable or
// garbled); when no lock can be made at all, the answer is false too: the palette rather starts
// twice than never.
bool AnotherInstanceRuns();

// The lock file of this executable in the user's own runtime folder: one per canonical
// executable path; empty when the user has no such folder.
QString InstanceLockPath();

// Gives the lock up, for the moment the window has closed: the process may take a while yet to
// end (handing the clipboard over to the desktop), and a new start is not refused meanwhile.
void ReleaseInstanceLock();
