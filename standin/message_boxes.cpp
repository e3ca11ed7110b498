#include "standin/message_boxes.h"

namespace standin {
namespace {
std::vector<MessageBoxCall> boxes;
}

// Called from DLL code, which keeps the stack aligned only to 4 bytes.
__attribute__((force_align_arg_pointer)) int __attribute__((stdcall))
Record_Message_Box(void* owner, const char* text, const char* caption, unsigned style) {
    boxes.push_back({owner, text ? text : "", caption ? caption : "", style});
    return Message_Box_Ok;
}

const std::vector<MessageBoxCall>& Message_Boxes() {
    return boxes;
}

void Clear_Message_Boxes() {
    boxes.clear();
}

} // namespace standin
