// The script classes the server talks to. The server never builds a script object
// itself: it gets one from Create_Script and from then on reaches it only through its
// 26 virtual slots, so the order of the virtual functions below and the order and width
// of the fields are the server's, not ours to change.
//
// Rules that keep GCC's table equal to the server compiler's: no virtual destructor (slot
// 0 is an explicit function that behaves like that compiler's deleting destructor), no
// overloaded virtual functions, and the thiscall convention on every virtual function.
#pragma once

#include "host/calling.h"
#include "host/command_table.h"
#include "host/server_object.h"

#include <cstdint>

class ScriptFactory;

// Bit of slot 0's argument that asks for the object's block to be given back as well.
constexpr unsigned Script_Destroy_Free_Block = 1;

// One field a script saves with the game and loads back, kept in a singly linked list.
struct SavedField {
    void* Data;       // the bytes inside the script
    uint32_t Size;    // bytes saved and loaded
    uint32_t Id;      // micro-chunk id under which they are saved
    SavedField* Next; // null ends the list
};
static_assert(sizeof(SavedField) == 16, "a saved field is four 32-bit words");

// Id of the one chunk that holds a script's saved fields; its bytes read "vasc".
constexpr uint32_t Saved_Fields_Chunk_Id = 0x63736176;

// The observer interface: slots 0 to 16.
class GameObjObserverClass {
  public:
    // Slot 0: tears the object down; with Script_Destroy_Free_Block also gives its
    // block back to the server's allocator.
    virtual void THISCALL Destroy(unsigned flags);
    virtual const char* THISCALL Script_Name() = 0;
    virtual void THISCALL Bind_Owner(ServerObject owner) = 0;
    virtual void THISCALL Unbind_Owner(uint32_t ignored) = 0;
    virtual void THISCALL Notify_Created(ServerObject object) = 0;
    virtual void THISCALL Notify_5(uint32_t a) = 0;
    virtual void THISCALL Notify_6(uint32_t a, uint32_t b) = 0;
    virtual void THISCALL Notify_7(uint32_t a, uint32_t b, uint32_t c) = 0;
    virtual void THISCALL Notify_8(uint32_t a, uint32_t b, uint32_t c, uint32_t d) = 0;
    virtual void THISCALL Notify_9(uint32_t a, uint32_t b) = 0;
    virtual void THISCALL Notify_10(uint32_t a, uint32_t b) = 0;
    virtual void THISCALL Notify_11(uint32_t a, uint32_t b, uint32_t c) = 0;
    virtual void THISCALL Notify_Timer(ServerObject object, int32_t number) = 0;
    virtual void THISCALL Notify_13(uint32_t a, uint32_t b) = 0;
    virtual void THISCALL Notify_14(uint32_t a, uint32_t b) = 0;
    virtual void THISCALL Notify_15(uint32_t a, uint32_t b) = 0;
    virtual void THISCALL Notify_16(uint32_t a, uint32_t b) = 0;
};

// The script interface: slots 17 to 25.
class ScriptClass : public GameObjObserverClass {
  public:
    virtual ServerObject THISCALL Owner_Object() = 0;
    virtual ServerObject* THISCALL Owner_Field() = 0;
    virtual void THISCALL Parse_Parameters(const char* text) = 0;
    // Writes at most `size` characters and a NUL; the buffer holds `size` + 1 bytes.
    virtual void THISCALL Join_Parameters(char* buffer, int32_t size) = 0;
    virtual void THISCALL Save_Fields(ChunkSaveData* save) = 0;
    virtual void THISCALL Load_Fields(ChunkLoadData* load) = 0;
    virtual void THISCALL Handler_23(uint32_t a) = 0;
    virtual void THISCALL Handler_24(uint32_t a) = 0;
    virtual void THISCALL Post_Create() = 0;
};

// The base of every script of this library: owner bookkeeping, parameters, saved fields
// and empty event handlers. Objects are built only by a ScriptRegistrant, in a block from
// the server's allocator, and destroyed only through slot 0.
class ScriptImpClass : public ScriptClass {
  public:
    void THISCALL Destroy(unsigned flags) override;
    const char* THISCALL Script_Name() override;
    void THISCALL Bind_Owner(ServerObject owner) override;
    void THISCALL Unbind_Owner(uint32_t ignored) override;
    void THISCALL Notify_Created(ServerObject object) override;
    void THISCALL Notify_5(uint32_t a) override;
    void THISCALL Notify_6(uint32_t a, uint32_t b) override;
    void THISCALL Notify_7(uint32_t a, uint32_t b, uint32_t c) override;
    void THISCALL Notify_8(uint32_t a, uint32_t b, uint32_t c, uint32_t d) override;
    void THISCALL Notify_9(uint32_t a, uint32_t b) override;
    void THISCALL Notify_10(uint32_t a, uint32_t b) override;
    void THISCALL Notify_11(uint32_t a, uint32_t b, uint32_t c) override;
    void THISCALL Notify_Timer(ServerObject object, int32_t number) override;
    void THISCALL Notify_13(uint32_t a, uint32_t b) override;
    void THISCALL Notify_14(uint32_t a, uint32_t b) override;
    void THISCALL Notify_15(uint32_t a, uint32_t b) override;
    void THISCALL Notify_16(uint32_t a, uint32_t b) override;
    ServerObject THISCALL Owner_Object() override;
    ServerObject* THISCALL Owner_Field() override;
    void THISCALL Parse_Parameters(const char* text) override;
    void THISCALL Join_Parameters(char* buffer, int32_t size) override;
    void THISCALL Save_Fields(ChunkSaveData* save) override;
    void THISCALL Load_Fields(ChunkLoadData* load) override;
    void THISCALL Handler_23(uint32_t a) override;
    void THISCALL Handler_24(uint32_t a) override;
    void THISCALL Post_Create() override;

    // Registers `size` bytes at `data` (inside this script) to be saved under `id`,
    // after the fields registered before. False, with nothing registered, when no
    // block can be had for the entry.
    bool Add_Saved_Field(void* data, uint32_t size, uint32_t id);

    // The fields, in the server's order after the table word.
    uint32_t HostWord = 0; // the server's; never read or written after the build
    ServerObject Owner = nullptr;
    int32_t ParameterCount = 0;
    char** Parameters = nullptr; // ParameterCount texts, each its own block
    ScriptFactory* Factory = nullptr;
    SavedField* SavedFields = nullptr;

  private:
    void Release_Saved_Fields();
    void Release_Parameters();
};
static_assert(sizeof(ScriptImpClass) == 28, "a script object is seven 32-bit words");

// The server's request-destroy function: Unbind_Owner hands the script to it, and the
// server destroys the script later through slot 0. Null until the server provides one.
using Request_Destroy_Fn = void (*)(ScriptClass* script);
extern Request_Destroy_Fn Request_Destroy_Callback;
