#pragma once

#include <QString>

#include <cstdint>

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

// Tells later starts which window to bring to the front: the palette's native handle, in a file
// beside the lock until the lock is given up; and opens a mailbox beside it, where a later start
// that may not bring the window forward itself (Wayland) asks the palette to, with its token.
void PublishInstanceWindow(std::uintptr_t window);

// For a start that found another instance: brings the lock holder's window to the front, restored
// when it was minimised, or asks the holder to. False when that window is not known or cannot be
// reached.
bool BringInstanceToFront();
