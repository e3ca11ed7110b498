// File deletion and copy through the kernel.
#include "platform/platform.h"

#include <windows.h>

void Delete_File(const char* path) {
    if (path)
        DeleteFileA(path);
}

void Copy_File(const char* from, const char* to) {
    if (from && to)
        CopyFileA(from, to, FALSE); // FALSE: an existing copy is overwritten
}
