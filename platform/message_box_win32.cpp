#include "platform/platform.h"

#include <windows.h>

void Show_Message_Box(const char* text, const char* caption, unsigned style) {
    MessageBoxA(nullptr, text, caption, style);
}
