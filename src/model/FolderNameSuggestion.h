#pragma once

#include "AppItem.h"

#include <QString>

// The name a folder made by dropping one application onto another starts with:
// a category when some name holds one of its keywords, otherwise "Folder".
[[nodiscard]] QString suggestFolderName(const AppList& apps);
