#pragma once
// File access used across the engine: listing files by wildcard and reading a whole text file.
// Expected problems (nothing found, a missing file) print a line, show a message and carry on.
#include <string>
#include <vector>

namespace ztengine {

// Appends to `out` the name (without its folder) of every file in the pattern's folder whose name
// matches the pattern's last component ("textures/diff/*.png"), case-insensitively and sorted by
// name without regard to case. Folders are listed too; "." and ".." are not. When nothing matches
// it reports "No files found for: <pattern>" and leaves `out` unchanged.
void ListFiles(const std::string& pattern, std::vector<std::string>& out);

// The whole file as text, with CR LF line ends read as LF. A file that cannot be opened is
// reported as "Error loading file: <path>" and gives an empty string.
std::string ReadTextFile(const std::string& path);

}  // namespace ztengine
