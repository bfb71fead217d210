#pragma once

#include <QString>

// The folder that holds the running executable, without a trailing separator.
QString ExecutableFolder();
// The running executable's file name without folder and extension.
QString ExecutableBaseName();
