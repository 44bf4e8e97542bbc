// Where the game's files are: a relative path is looked up beside the executable first (the build
// and the install put gfx/ and sfx/ there), then in the installed data folder
// <exe folder>/../share/zombie-shooter/, then in the working folder, so the game starts from any
// folder. ZS_DATA_DIR, when set, comes before all of them.
#pragma once

#include <cstddef>

// Writes into `out` the first existing place of `name` and returns true; when none exists, writes
// `name` itself (the working-folder place) and returns false. Absolute names are taken as they are.
bool FindGameFile(const char* name, char* out, std::size_t capacity);

// The folder holding the running executable, without a trailing slash ("" when unknown).
const char* ExecutableFolder();
