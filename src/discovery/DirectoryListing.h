#pragma once

#include <string>
#include <vector>

struct DirectoryEntry {
    std::string name;
    // A real folder; a symbolic link to one is not, so walks cannot loop.
    bool isDirectory = false;
};

// The visible entries of a folder, sorted by name in byte order. Hidden entries
// (a name starting with a dot) and names that are not valid UTF-8 are left out:
// the rest of the program names files by Unicode text, and a lossy name could
// reach a different file. An unreadable folder lists as empty.
[[nodiscard]] std::vector<DirectoryEntry> listDirectory(const std::string& folder);

[[nodiscard]] std::string joinPath(const std::string& folder, const std::string& name);
