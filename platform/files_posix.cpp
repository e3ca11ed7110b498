// File deletion and copy through the C runtime.
#include "platform/platform.h"

#include <cstdio>
#include <sys/stat.h>

void Delete_File(const char* path) {
    if (path)
        std::remove(path);
}

namespace {
// Opening the target for writing would empty a source that is the same file.
bool Same_File(const char* a, const char* b) {
    struct stat sa, sb;
    return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}
} // namespace

void Copy_File(const char* from, const char* to) {
    if (!from || !to || Same_File(from, to))
        return;
    // A missing source leaves the target alone, as the Windows copy does.
    std::FILE* source = std::fopen(from, "rb");
    if (!source)
        return;
    if (std::FILE* target = std::fopen(to, "wb")) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, source)) > 0)
            if (std::fwrite(chunk, 1, got, target) != got)
                break;
        std::fclose(target);
    }
    std::fclose(source);
}
