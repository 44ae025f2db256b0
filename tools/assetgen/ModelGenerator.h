#pragma once
// The asset generator's model part: every model and animation file the game loads, written
// under the runtime folder.
#include "assetgen/Assetgen.h"

#include <string>
#include <vector>

namespace assetgen {

// Writes every static model, rigged model and animation file under options.outDir. Errors name
// the file that could not be written.
Result GenerateModels(const Options& options);

// The files GenerateModels writes, relative to the runtime folder, in the order it writes them.
std::vector<std::string> ModelFiles();

}  // namespace assetgen
