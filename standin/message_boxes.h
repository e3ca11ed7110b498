// The message boxes the plugin showed, recorded instead of shown: the stand-in's
// MessageBoxA. The loaded DLL's import of MessageBoxA and the Linux build's platform
// call both end here.
#pragma once

#include <string>
#include <vector>

namespace standin {

struct MessageBoxCall {
    const void* Owner;
    std::string Text;
    std::string Caption;
    unsigned Style;
};

// MessageBoxA's form (WINAPI): records the box and answers IDOK, as a user who
// dismisses it would.
int __attribute__((stdcall))
Record_Message_Box(void* owner, const char* text, const char* caption, unsigned style);
constexpr int Message_Box_Ok = 1; // IDOK

const std::vector<MessageBoxCall>& Message_Boxes();
void Clear_Message_Boxes();

} // namespace standin
