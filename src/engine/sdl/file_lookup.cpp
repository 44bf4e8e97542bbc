#include "engine/sdl/file_lookup.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "engine/engine_log.h"

namespace {

// Room for any path the game builds; longer ones are refused, never cut short.
constexpr std::size_t kPathCapacity = 4096;

char exeFolder[kPathCapacity] = {};
bool exeFolderKnown = false;

// Through SDL so that a path in UTF-8 opens on every platform (on Windows it is turned into the
// wide form the system wants).
bool Readable(const char* path) {
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (rw == nullptr) {
        return false;
    }
    SDL_RWclose(rw);
    return true;
}

bool TryPlace(const char* folder, const char* name, char* out, std::size_t capacity) {
    const int n = std::snprintf(out, capacity, "%s/%s", folder, name);
    return n > 0 && static_cast<std::size_t>(n) < capacity && Readable(out);
}

bool IsAbsolute(const char* name) {
#ifdef _WIN32
    const bool drive = ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')) &&
                       name[1] == ':';
    return drive || name[0] == '/' || name[0] == '\\';
#else
    return name[0] == '/';
#endif
}

}  // namespace

const char* ExecutableFolder() {
    if (!exeFolderKnown) {
        exeFolderKnown = true;
        char* base = SDL_GetBasePath();
        if (base != nullptr) {
            std::snprintf(exeFolder, sizeof exeFolder, "%s", base);
            SDL_free(base);
        }
        // SDL ends the folder with its separator; the lookups add their own.
        std::size_t n = SDL_strlen(exeFolder);
        while (n > 1 && (exeFolder[n - 1] == '/' || exeFolder[n - 1] == '\\')) {
            exeFolder[--n] = '\0';
        }
    }
    return exeFolder;
}

bool FindGameFile(const char* name, const char* dataDir, const char* program, char* out,
                  std::size_t capacity) {
    if (!IsAbsolute(name)) {
        // The data folder, when named, comes first: for packagers and for tests that start the
        // game over a damaged copy of its files.
        if (dataDir != nullptr && dataDir[0] != '\0' && TryPlace(dataDir, name, out, capacity)) {
            return true;
        }
        const char* folder = ExecutableFolder();
        char shared[kPathCapacity + 32];
        std::snprintf(shared, sizeof shared, "%s/../share/%s", folder,
                      program != nullptr ? program : "");
        const bool installed = program != nullptr && program[0] != '\0';
        if (folder[0] != '\0' && (TryPlace(folder, name, out, capacity) ||
                                  (installed && TryPlace(shared, name, out, capacity)))) {
            return true;
        }
    }
    std::snprintf(out, capacity, "%s", name);
    return Readable(out);
}

void* ReadGameFile(const char* name, const char* dataDir, const char* program,
                   std::uint32_t* size) {
    if (size != nullptr) {
        *size = 0;
    }
    char path[kPathCapacity];
    if (name == nullptr || !FindGameFile(name, dataDir, program, path, sizeof path)) {
        LogLine("cannot open %s: no such file", name != nullptr ? name : "(null)");
        return nullptr;
    }
    SDL_RWops* file = SDL_RWFromFile(path, "rb");
    if (file == nullptr) {
        LogLine("cannot open %s: %s", name, SDL_GetError());
        return nullptr;
    }
    void* data = nullptr;
    const Sint64 length = SDL_RWsize(file);
    if (length >= 0 && static_cast<std::uint64_t>(length) <= UINT32_MAX) {
        data = std::malloc(length > 0 ? static_cast<std::size_t>(length) : 1);
    }
    if (data != nullptr && SDL_RWread(file, data, 1, static_cast<std::size_t>(length)) !=
                               static_cast<std::size_t>(length)) {
        std::free(data);
        data = nullptr;
    }
    SDL_RWclose(file);
    if (data == nullptr) {
        LogLine("cannot read %s", name);
        return nullptr;
    }
    if (size != nullptr) {
        *size = static_cast<std::uint32_t>(length);
    }
    return data;
}

SDL_RWops* OpenGameSource(const char* name, std::uint32_t size, const char* dataDir,
                          const char* program) {
    if (name == nullptr) {
        return nullptr;
    }
    if (size != 0) {
        return SDL_RWFromConstMem(name, static_cast<int>(size));
    }
    char path[kPathCapacity];
    if (!FindGameFile(name, dataDir, program, path, sizeof path)) {
        LogLine("cannot open %s: no such file", name);
        return nullptr;
    }
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (rw == nullptr) {
        LogLine("cannot open %s: %s", name, SDL_GetError());
    }
    return rw;
}
