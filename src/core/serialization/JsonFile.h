#pragma once
// File helpers shared by everything that keeps its state in a JSON file (parameter sets, the
// window configuration, the resource lists): whole-file reads, compact writing, and replacing a
// file so that a failed write never leaves it truncated.
#include <string>
#include <string_view>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace ztengine {

// The one JSON writer of the settings and list files: compact (no blanks, no line ends), UTF-8
// passed through unchanged, doubles in the shortest form that reads back exactly.
using JsonStringBuffer = rapidjson::StringBuffer;
using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

// Parses `text` as one standard JSON document, as every file of the game is read: full-precision
// numbers (every double the writer produced reads back to the same value), iteratively (deep
// nesting cannot run the stack out), UTF-8 validated. A zero written with an exponent ("0e99")
// is read as 0.0 without the library's full-precision conversion, which misbehaves on a zero
// significand; error offsets stay those of the file.
void ParseJsonText(rapidjson::Document& document, std::string text);

// The whole file, byte for byte. False when the file cannot be opened (nothing is printed).
bool ReadWholeFile(const std::string& path, std::string& out);

// Writes `bytes` to a temporary file beside `path` and renames it over `path`. The old file is
// replaced only once the new content is completely on disk; on any failure the temporary file is
// removed, the old file stays as it was, and the result is false. Prints nothing.
bool ReplaceFileContents(const std::string& path, std::string_view bytes);

}  // namespace ztengine
