#include "scripts/script_class.h"

#include "engine/commands.h"
#include "engine/host_memory.h"
#include "scripts/script_registry.h"

#include <cstdint>
#include <cstring>

Request_Destroy_Fn Request_Destroy_Callback = nullptr;

namespace {

// The text that fills a parameter the text left out (after a final comma, or when
// nothing remains once the line end is taken off).
const char Default_Parameter[] = "";

char* Copy_Text(const char* chars, size_t length) {
    char* copy = static_cast<char*>(Plugin_Alloc_Array(length + 1));
    if (!copy)
        return nullptr;
    std::memcpy(copy, chars, length);
    copy[length] = '\0';
    return copy;
}

void Release_Texts(char** texts, int32_t count) {
    if (!texts)
        return;
    for (int32_t i = count - 1; i >= 0; --i)
        Plugin_Free_Array(texts[i]);
    Plugin_Free_Array(texts);
}

// Cuts a working copy (without its line end) into `count` texts, one block each. Null
// when a block cannot be had; whatever was built is given back first.
char** Split_Parameters(char* copy, int32_t count) {
    char** texts =
        static_cast<char**>(Plugin_Alloc_Array(static_cast<size_t>(count) * sizeof(char*)));
    if (!texts)
        return nullptr;
    for (int32_t i = 0; i < count; ++i)
        texts[i] = nullptr;

    int32_t index = 0;
    for (char* rest = copy; *rest != '\0' && index < count; ++index) {
        char* comma = std::strchr(rest, ',');
        const size_t length = comma ? static_cast<size_t>(comma - rest) : std::strlen(rest);
        texts[index] = Copy_Text(rest, length);
        if (!texts[index]) {
            Release_Texts(texts, count);
            return nullptr;
        }
        rest += length + (comma ? 1 : 0);
    }
    // A final comma leaves the last entry without a piece, and a text that was only a
    // line end leaves the only one without; every entry must hold a text.
    for (; index < count; ++index) {
        texts[index] = Copy_Text(Default_Parameter, sizeof Default_Parameter - 1);
        if (!texts[index]) {
            Release_Texts(texts, count);
            return nullptr;
        }
    }
    return texts;
}

} // namespace

void THISCALL GameObjObserverClass::Destroy(unsigned flags) {
    if (flags & Script_Destroy_Free_Block)
        Plugin_Free(this);
}

void THISCALL ScriptImpClass::Destroy(unsigned flags) {
    Release_Saved_Fields();
    Release_Parameters();
    GameObjObserverClass::Destroy(flags);
}

void ScriptImpClass::Release_Saved_Fields() {
    for (SavedField* field = SavedFields; field;) {
        SavedField* next = field->Next;
        Plugin_Free(field);
        field = next;
    }
    SavedFields = nullptr;
}

void ScriptImpClass::Release_Parameters() {
    Release_Texts(Parameters, ParameterCount);
    Parameters = nullptr;
    ParameterCount = 0;
}

const char* THISCALL ScriptImpClass::Script_Name() {
    return Factory ? Factory->Name : nullptr;
}

void THISCALL ScriptImpClass::Bind_Owner(ServerObject owner) {
    Owner = owner;
}

void THISCALL ScriptImpClass::Unbind_Owner(uint32_t) {
    Owner = nullptr;
    if (Request_Destroy_Callback)
        Request_Destroy_Callback(this);
}

// The events this base class does not act on.
void THISCALL ScriptImpClass::Notify_Created(ServerObject) {}
void THISCALL ScriptImpClass::Notify_5(uint32_t) {}
void THISCALL ScriptImpClass::Notify_6(uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Notify_7(uint32_t, uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Notify_8(uint32_t, uint32_t, uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Notify_9(uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Notify_10(uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Notify_11(uint32_t, uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Notify_Timer(ServerObject, int32_t) {}
void THISCALL ScriptImpClass::Notify_13(uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Notify_14(uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Notify_15(uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Notify_16(uint32_t, uint32_t) {}
void THISCALL ScriptImpClass::Handler_23(uint32_t) {}
void THISCALL ScriptImpClass::Handler_24(uint32_t) {}
void THISCALL ScriptImpClass::Post_Create() {}

ServerObject THISCALL ScriptImpClass::Owner_Object() {
    return Owner;
}

ServerObject* THISCALL ScriptImpClass::Owner_Field() {
    return &Owner;
}

// Each non-empty text replaces every parameter. The new set is built in full before the
// old one is given back, so a block the server cannot give leaves the old set in place.
void THISCALL ScriptImpClass::Parse_Parameters(const char* text) {
    if (!text || *text == '\0')
        return;
    size_t length = std::strlen(text);
    char* copy = Copy_Text(text, length);
    if (!copy)
        return;
    // One line feed at the end is the line's end, not part of the last parameter.
    if (copy[length - 1] == '\n')
        copy[--length] = '\0';

    int32_t count = 1;
    for (const char* c = copy; *c; ++c)
        if (*c == ',')
            ++count;

    // So many pieces that their array would not fit in the address space: refused.
    if (static_cast<size_t>(count) > SIZE_MAX / sizeof(char*)) {
        Plugin_Free_Array(copy);
        return;
    }
    char** texts = Split_Parameters(copy, count);
    Plugin_Free_Array(copy);
    if (!texts)
        return;
    Release_Parameters();
    Parameters = texts;
    ParameterCount = count;
}

// The parameters joined by commas as far as they fit: the first one that does not fit
// ends the text (a comma written just before it stays).
void THISCALL ScriptImpClass::Join_Parameters(char* buffer, int32_t size) {
    // A negative size leaves no room even for the terminator.
    if (!buffer || size < 0)
        return;
    buffer[0] = '\0';
    const size_t limit = static_cast<size_t>(size);
    size_t count = 0;
    size_t written = 0;
    for (int32_t i = 0; i < ParameterCount; ++i) {
        if (count >= limit)
            break;
        if (i > 0) {
            ++count;
            buffer[written++] = ',';
            buffer[written] = '\0';
        }
        const size_t length = std::strlen(Parameters[i]);
        count += length;
        if (count <= limit) {
            std::memcpy(buffer + written, Parameters[i], length + 1);
            written += length;
        }
    }
}

void THISCALL ScriptImpClass::Save_Fields(ChunkSaveData* save) {
    Cmd_Save_Begin_Chunk(save, Saved_Fields_Chunk_Id);
    for (const SavedField* field = SavedFields; field; field = field->Next)
        Cmd_Save_Micro_Chunk(save, field->Id, field->Size, field->Data);
    Cmd_Save_End_Chunk(save);
}

void THISCALL ScriptImpClass::Load_Fields(ChunkLoadData* load) {
    uint32_t chunk_id = 0;
    while (Cmd_Load_Open_Chunk(load, &chunk_id)) {
        if (chunk_id == Saved_Fields_Chunk_Id) {
            uint32_t micro_id = 0;
            while (Cmd_Load_Open_Micro_Chunk(load, &micro_id)) {
                for (SavedField* field = SavedFields; field; field = field->Next)
                    if (field->Id == micro_id)
                        Cmd_Load_Micro_Chunk_Data(load, field->Size, field->Data);
                Cmd_Load_Close_Micro_Chunk(load);
            }
        }
        Cmd_Load_Close_Chunk(load);
    }
}

bool ScriptImpClass::Add_Saved_Field(void* data, uint32_t size, uint32_t id) {
    auto* field = static_cast<SavedField*>(Plugin_Alloc(sizeof(SavedField)));
    if (!field)
        return false;
    *field = SavedField{data, size, id, nullptr};
    SavedField** end = &SavedFields;
    while (*end)
        end = &(*end)->Next;
    *end = field;
    return true;
}
