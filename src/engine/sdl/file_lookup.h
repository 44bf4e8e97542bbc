// Where the game's files are: a relative path is looked up in the data folder the player or
// packager named (ZS_DATA_DIR, see options.h) when there is one, then beside the executable (the
// build and the install put gfx/ and sfx/ there), then in the installed data folder
// <exe folder>/../share/<program name>/, then in the working folder, so the game starts from any
// folder. The program's name is the program's to give (EngineLaunch); without one there is no
// installed data folder to look in.
#pragma once

#include <cstddef>
#include <cstdint>

struct SDL_RWops;

// Writes into `out` the first existing place of `name` and returns true; when none exists, writes
// `name` itself (the working-folder place) and returns false. Absolute names are taken as they are.
// `dataDir` and `program` may be null or empty.
bool FindGameFile(const char* name, const char* dataDir, const char* program, char* out,
                  std::size_t capacity);

// The folder holding the running executable, without a trailing slash ("" when unknown).
const char* ExecutableFolder();

// The whole file, from malloc (the caller frees it), its length in `size`; null after one log line
// naming the file when it cannot be read.
void* ReadGameFile(const char* name, const char* dataDir, const char* program, std::uint32_t* size);

// What a loader reads: the file, or with a size the `size` bytes at `name`. Null after one log
// line naming the file when it cannot be opened.
SDL_RWops* OpenGameSource(const char* name, std::uint32_t size, const char* dataDir,
                          const char* program);
