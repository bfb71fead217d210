#pragma once

#include <QString>

// True when another process of this same executable file holds the instance lock. Otherwise this
// process takes the lock and keeps it until it ends; asking again then answers false.
// Needs the application object. A lock left behind by a crashed or killed instance does not count.
bool AnotherInstanceRuns();

// The lock file of this executable: one per canonical executable path.
QString InstanceLockPath();
