#pragma once
// Writes that last: the file's bytes and the folder's names flushed to disk, for the replacement
// of a single file (ReplaceFileContents) and of a set of files that belong together.
#include <string>
#include <string_view>

namespace ztengine {

// Creates or truncates `path`, writes `bytes` and flushes them to disk. False on any failure.
bool WriteDurableFile(const std::string& path, std::string_view bytes);

// Flushes the folder holding `path` to disk, so that renames and new names in it last.
bool SyncFolderOf(const std::string& path);

}  // namespace ztengine
