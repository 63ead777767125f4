#pragma once
// What the staging directory holds now, as a listing shows it.
#include <windows.h>

#include <string>
#include <vector>

#include "launcher/core/staged_tree.h"

namespace launcher {

// Every entry below `root`, relative to it; links are listed, never entered.
std::vector<StagedEntry> ListStagedTree(const std::string& root);

// The entry as the copy makes it, from the listing of its source.
StagedEntry StagedFile(const std::string& relativePath, const WIN32_FIND_DATAA& source);

}  // namespace launcher
