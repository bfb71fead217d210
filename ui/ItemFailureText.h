#pragma once

#include "settings/Cls_MySettingFile.h"

#include <QString>

// What the palette's box says when an item named name could not make its text: the common
// pattern errors in Japanese with their place in the pattern counted from 1, other failures by
// number with the engine's or the runtime's English text on a line of its own. Lines end in CR LF.
QString ItemFailureText(const QString &name, const GeneratedText &result);
