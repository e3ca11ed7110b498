// Linux has no message box: the one the plugin shows goes to a handler of MessageBoxA's
// form (owner, text, caption, style), which the stand-in sets to its recorder. Without a
// handler the box is written to standard error.
#pragma once

using Message_Box_Handler_Fn = int(__attribute__((stdcall)) *)(void* owner, const char* text,
                                                               const char* caption, unsigned style);
void Set_Message_Box_Handler(Message_Box_Handler_Fn handler);
