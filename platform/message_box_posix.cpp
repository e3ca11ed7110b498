#include "platform/message_box_posix.h"
#include "platform/platform.h"

#include <cstdio>

namespace {
Message_Box_Handler_Fn handler = nullptr;
}

void Set_Message_Box_Handler(Message_Box_Handler_Fn new_handler) {
    handler = new_handler;
}

void Show_Message_Box(const char* text, const char* caption, unsigned style) {
    if (handler)
        handler(nullptr, text, caption, style);
    else
        std::fprintf(stderr, "[message box] %s: %s\n", caption ? caption : "", text ? text : "");
}
