#include "engine/host_memory.h"
#include "host/ssgm.h"

#include <cstring>

const char* Host_String_Text(const HostString& s) {
    return s.Capacity <= Host_String_Inline_Capacity ? s.Storage.Inline : s.Storage.Block;
}

bool Host_String_Assign(HostString& s, const char* text) {
    if (!text)
        text = "";
    const size_t length = std::strlen(text);
    char* old_block = s.Capacity > Host_String_Inline_Capacity ? s.Storage.Block : nullptr;
    if (length <= Host_String_Inline_Capacity) {
        std::memcpy(s.Storage.Inline, text, length + 1);
        s.Capacity = Host_String_Inline_Capacity;
    } else {
        char* block = static_cast<char*>(Plugin_Alloc(length + 1));
        if (!block)
            return false;
        std::memcpy(block, text, length + 1);
        s.Storage.Block = block;
        s.Capacity = static_cast<uint32_t>(length);
    }
    s.Length = static_cast<uint32_t>(length);
    Plugin_Free(old_block);
    return true;
}
