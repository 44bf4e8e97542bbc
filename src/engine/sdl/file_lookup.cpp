#include "engine/sdl/file_lookup.h"

#include <SDL.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/sdl/engine_log.h"

namespace {

char exeFolder[PATH_MAX] = {};
bool exeFolderKnown = false;

bool Readable(const char* path) {
    return access(path, R_OK) == 0;
}

bool TryPlace(const char* folder, const char* name, char* out, std::size_t capacity) {
    const int n = std::snprintf(out, capacity, "%s/%s", folder, name);
    return n > 0 && static_cast<std::size_t>(n) < capacity && Readable(out);
}

}  // namespace

const char* ExecutableFolder() {
    if (!exeFolderKnown) {
        exeFolderKnown = true;
        const ssize_t n = readlink("/proc/self/exe", exeFolder, sizeof exeFolder - 1);
        exeFolder[n > 0 ? n : 0] = '\0';
        char* slash = std::strrchr(exeFolder, '/');
        if (slash != nullptr) {
            *slash = '\0';
        } else {
            exeFolder[0] = '\0';
        }
    }
    return exeFolder;
}

bool FindGameFile(const char* name, const char* dataDir, char* out, std::size_t capacity) {
    if (name[0] != '/') {
        // The data folder, when named, comes first: for packagers and for tests that start the
        // game over a damaged copy of its files.
        if (dataDir != nullptr && dataDir[0] != '\0' && TryPlace(dataDir, name, out, capacity)) {
            return true;
        }
        const char* folder = ExecutableFolder();
        char shared[PATH_MAX + 32];
        std::snprintf(shared, sizeof shared, "%s/../share/zombie-shooter", folder);
        if (folder[0] != '\0' &&
            (TryPlace(folder, name, out, capacity) || TryPlace(shared, name, out, capacity))) {
            return true;
        }
    }
    std::snprintf(out, capacity, "%s", name);
    return Readable(out);
}

void* ReadGameFile(const char* name, const char* dataDir, std::uint32_t* size) {
    if (size != nullptr) {
        *size = 0;
    }
    char path[PATH_MAX];
    if (name == nullptr || !FindGameFile(name, dataDir, path, sizeof path)) {
        LogLine("cannot open %s: no such file", name != nullptr ? name : "(null)");
        return nullptr;
    }
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        LogLine("cannot open %s", name);
        return nullptr;
    }
    void* data = nullptr;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        length = std::ftell(file);
    }
    if (length >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        data = std::malloc(length > 0 ? static_cast<std::size_t>(length) : 1);
    }
    if (data != nullptr && std::fread(data, 1, static_cast<std::size_t>(length), file) !=
                               static_cast<std::size_t>(length)) {
        std::free(data);
        data = nullptr;
    }
    std::fclose(file);
    if (data == nullptr) {
        LogLine("cannot read %s", name);
        return nullptr;
    }
    if (size != nullptr) {
        *size = static_cast<std::uint32_t>(length);
    }
    return data;
}

SDL_RWops* OpenGameSource(const char* name, std::uint32_t size, const char* dataDir) {
    if (name == nullptr) {
        return nullptr;
    }
    if (size != 0) {
        return SDL_RWFromConstMem(name, static_cast<int>(size));
    }
    char path[PATH_MAX];
    if (!FindGameFile(name, dataDir, path, sizeof path)) {
        LogLine("cannot open %s: no such file", name);
        return nullptr;
    }
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (rw == nullptr) {
        LogLine("cannot open %s: %s", name, SDL_GetError());
    }
    return rw;
}
