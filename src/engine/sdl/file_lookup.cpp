#include "file_lookup.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool FindGameFile(const char* name, char* out, std::size_t capacity) {
    if (name[0] != '/') {
        // ZS_DATA_DIR, when set, is looked in first: for packagers and for tests that start the
        // game over a damaged copy of its files.
        const char* dataDir = std::getenv("ZS_DATA_DIR");
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
