#pragma once

#include "AppItem.h"
#include "FolderItem.h"

class AppSettings;

// How a folder's stored bundle identifiers turn into the applications shown for
// it. Members are resolved against the list the grid shows, so an application
// that is hidden, filtered out by the search or no longer installed is skipped
// without touching the stored folder.

// The folder tile shows at most this many members.
inline constexpr qsizetype folderPreviewLimit = 9;

// The applications of the tile's 3 x 3 preview: the first nine identifiers,
// resolved in order. The cut comes before resolving, so unresolved identifiers
// among the first nine leave gaps that later members do not fill.
[[nodiscard]] AppList previewApps(const FolderItem& folder, const AppList& apps);

// Every member that resolves, in the folder's order. An identifier resolves to
// the first application in `apps` with exactly that bundle identifier; an
// identifier listed twice gives its application once, in the first place.
[[nodiscard]] AppList folderApps(const FolderItem& folder, const AppList& apps);

// What the picker offers for `folder`: the applications of `apps`, in order,
// that neither this folder nor any stored folder holds. Testing the folder
// itself too keeps the rule right for a folder that is no longer stored.
[[nodiscard]] AppList pickerCandidates(const FolderItem& folder, const AppList& apps,
                                       const AppSettings& settings);
