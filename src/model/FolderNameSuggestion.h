#pragma once

#include "AppItem.h"

#include <QString>

// The name a folder made by dropping one application onto another starts with:
// a category when some name holds one of its keywords, otherwise "Folder"; in
// the interface's language, as the user would have named it.
[[nodiscard]] QString suggestFolderName(const AppList& apps);
