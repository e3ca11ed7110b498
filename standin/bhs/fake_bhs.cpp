// A stand-in for the plugin host's extension library bhs.dll, built as a shared object of
// this process so that looking its functions up by name is dlsym. It exports the 115
// functions a plugin may look up (built with FAKE_BHS_PARTIAL, all but New_Set_War_Blitz
// and AddChatHook), records every call to them, and keeps the object-create hooks
// registered with it; Fake_Bhs_Object_Created calls those hooks as the host does for
// every new game object. The names are written out here on their own, not taken from
// the plugin, so a misspelt name on either side shows up as a missing function.
#include <cstdint>
#include <cstring>

namespace {

constexpr int Max_Calls = 4096;
constexpr int Max_Hooks = 64;

const char* calls[Max_Calls];
int call_count = 0;

struct Hook {
    int Id;
    void* Record; // {callback, user data}
};
Hook hooks[Max_Hooks];
int hook_count = 0;
int next_hook_id = 1;

void Record_Call(const char* name) {
    if (call_count < Max_Calls)
        calls[call_count++] = name;
}

} // namespace

#define FAKE_BHS_FUNCTION(name)                                                                    \
    extern "C" __attribute__((visibility("default"))) int name() {                                 \
        Record_Call(#name);                                                                        \
        return 0;                                                                                  \
    }

FAKE_BHS_FUNCTION(New_Enable_Stealth)
FAKE_BHS_FUNCTION(New_Create_Explosion)
FAKE_BHS_FUNCTION(New_Create_Explosion_At_Bone)
FAKE_BHS_FUNCTION(New_Set_Fog_Enable)
FAKE_BHS_FUNCTION(New_Set_Fog_Range)
#ifndef FAKE_BHS_PARTIAL
FAKE_BHS_FUNCTION(New_Set_War_Blitz)
#endif
FAKE_BHS_FUNCTION(New_Fade_Background_Music)
FAKE_BHS_FUNCTION(New_Set_Background_Music)
FAKE_BHS_FUNCTION(New_Stop_Background_Music)
FAKE_BHS_FUNCTION(New_Create_Sound)
FAKE_BHS_FUNCTION(New_Create_2D_Sound)
FAKE_BHS_FUNCTION(New_Create_2D_WAV_Sound)
FAKE_BHS_FUNCTION(New_Create_3D_WAV_Sound_At_Bone)
FAKE_BHS_FUNCTION(New_Create_3D_Sound_At_Bone)
FAKE_BHS_FUNCTION(New_Play_Building_Announcement)
FAKE_BHS_FUNCTION(New_Clear_Weapons)
FAKE_BHS_FUNCTION(New_Enable_Vehicle_Transitions)
FAKE_BHS_FUNCTION(New_Set_Player_Type)
FAKE_BHS_FUNCTION(New_Set_Screen_Fade_Color)
FAKE_BHS_FUNCTION(New_Set_Screen_Fade_Opacity)
FAKE_BHS_FUNCTION(New_Set_Display_Color)
FAKE_BHS_FUNCTION(New_Display_Text)
FAKE_BHS_FUNCTION(New_Display_Float)
FAKE_BHS_FUNCTION(New_Display_Int)
FAKE_BHS_FUNCTION(New_Select_Weapon)
FAKE_BHS_FUNCTION(New_Shake_Camera)
FAKE_BHS_FUNCTION(New_Set_Model)
FAKE_BHS_FUNCTION(New_Enable_Stealth_Player)
FAKE_BHS_FUNCTION(New_Set_Fog_Enable_Player)
FAKE_BHS_FUNCTION(New_Set_Fog_Range_Player)
FAKE_BHS_FUNCTION(New_Set_Background_Music_Player)
FAKE_BHS_FUNCTION(New_Fade_Background_Music_Player)
FAKE_BHS_FUNCTION(New_Stop_Background_Music_Player)
FAKE_BHS_FUNCTION(New_Enable_Radar_Player)
FAKE_BHS_FUNCTION(New_Display_GDI_Player_Terminal_Player)
FAKE_BHS_FUNCTION(New_Display_NOD_Player_Terminal_Player)
FAKE_BHS_FUNCTION(New_Set_Screen_Fade_Color_Player)
FAKE_BHS_FUNCTION(New_Set_Screen_Fade_Opacity_Player)
FAKE_BHS_FUNCTION(New_Force_Camera_Look_Player)
FAKE_BHS_FUNCTION(New_Enable_HUD_Player)
FAKE_BHS_FUNCTION(New_Create_Sound_Player)
FAKE_BHS_FUNCTION(New_Create_2D_Sound_Player)
FAKE_BHS_FUNCTION(New_Create_2D_WAV_Sound_Player)
FAKE_BHS_FUNCTION(New_Create_3D_WAV_Sound_At_Bone_Player)
FAKE_BHS_FUNCTION(New_Create_3D_Sound_At_Bone_Player)
FAKE_BHS_FUNCTION(New_Set_Display_Color_Player)
FAKE_BHS_FUNCTION(New_Display_Text_Player)
FAKE_BHS_FUNCTION(New_Display_Int_Player)
FAKE_BHS_FUNCTION(New_Display_Float_Player)
FAKE_BHS_FUNCTION(New_Set_Obj_Radar_Blip_Shape)
FAKE_BHS_FUNCTION(New_Set_Obj_Radar_Blip_Color)
FAKE_BHS_FUNCTION(New_Set_Obj_Radar_Blip_Shape_Player)
FAKE_BHS_FUNCTION(New_Set_Obj_Radar_Blip_Color_Player)
// NewAddObjectCreateHook and NewRemoveObjectCreateHook: below.
FAKE_BHS_FUNCTION(AddKeyHook)
FAKE_BHS_FUNCTION(RemoveKeyHook)
FAKE_BHS_FUNCTION(Set_Scope)
FAKE_BHS_FUNCTION(Set_HUD_Texture)
#ifndef FAKE_BHS_PARTIAL
FAKE_BHS_FUNCTION(AddChatHook)
#endif
FAKE_BHS_FUNCTION(AddHostHook)
FAKE_BHS_FUNCTION(AddLoadLevelHook)
FAKE_BHS_FUNCTION(AddGameOverHook)
FAKE_BHS_FUNCTION(AddPlayerJoinHook)
FAKE_BHS_FUNCTION(GetCurrentMusicTrack)
FAKE_BHS_FUNCTION(Set_Info_Texture)
FAKE_BHS_FUNCTION(Clear_Info_Texture)
FAKE_BHS_FUNCTION(Set_Vehicle_Limit)
FAKE_BHS_FUNCTION(Get_Vehicle_Limit)
FAKE_BHS_FUNCTION(Send_Message)
FAKE_BHS_FUNCTION(Send_Message_Player)
FAKE_BHS_FUNCTION(New_Display_Health_Bar)
FAKE_BHS_FUNCTION(AddVersionHook)
FAKE_BHS_FUNCTION(Set_Wireframe_Mode)
FAKE_BHS_FUNCTION(New_Disable_All_Collisions)
FAKE_BHS_FUNCTION(New_Disable_Physical_Collisions)
FAKE_BHS_FUNCTION(New_Enable_Collisions)
FAKE_BHS_FUNCTION(Load_New_HUD_INI)
FAKE_BHS_FUNCTION(Remove_Weapon)
FAKE_BHS_FUNCTION(Update_PT_Data)
FAKE_BHS_FUNCTION(Change_Radar_Map)
FAKE_BHS_FUNCTION(AddPowerupPurchaseHook)
FAKE_BHS_FUNCTION(AddVehiclePurchaseHook)
FAKE_BHS_FUNCTION(AddCharacterPurchaseHook)
FAKE_BHS_FUNCTION(AddPowerupPurchaseMonHook)
FAKE_BHS_FUNCTION(AddVehiclePurchaseMonHook)
FAKE_BHS_FUNCTION(AddCharacterPurchaseMonHook)
FAKE_BHS_FUNCTION(RemovePowerupPurchaseHook)
FAKE_BHS_FUNCTION(RemoveVehiclePurchaseHook)
FAKE_BHS_FUNCTION(RemoveCharacterPurchaseHook)
FAKE_BHS_FUNCTION(RemovePowerupPurchaseMonHook)
FAKE_BHS_FUNCTION(RemoveVehiclePurchaseMonHook)
FAKE_BHS_FUNCTION(RemoveCharacterPurchaseMonHook)
FAKE_BHS_FUNCTION(Get_Build_Time_Multiplier)
FAKE_BHS_FUNCTION(Set_Currently_Building)
FAKE_BHS_FUNCTION(Is_Currently_Building)
FAKE_BHS_FUNCTION(AddConsoleOutputHook)
FAKE_BHS_FUNCTION(AddCRCHook)
FAKE_BHS_FUNCTION(AddDataHook)
FAKE_BHS_FUNCTION(Set_Reticle_Texture1)
FAKE_BHS_FUNCTION(Set_Reticle_Texture2)
FAKE_BHS_FUNCTION(New_Set_Fog_Color)
FAKE_BHS_FUNCTION(Set_Fog_Color_Player)
FAKE_BHS_FUNCTION(New_Set_Fog_Mode)
FAKE_BHS_FUNCTION(Set_Fog_Mode_Player)
FAKE_BHS_FUNCTION(Set_Shader_Number)
FAKE_BHS_FUNCTION(New_Set_Fog_Density)
FAKE_BHS_FUNCTION(Set_Fog_Density_Player)
FAKE_BHS_FUNCTION(New_Change_Time_Remaining)
FAKE_BHS_FUNCTION(New_Change_Time_Limit)
FAKE_BHS_FUNCTION(Display_GDI_Sidebar)
FAKE_BHS_FUNCTION(Display_NOD_Sidebar)
FAKE_BHS_FUNCTION(Display_Security_Dialog)
FAKE_BHS_FUNCTION(AddPlayerLeaveHook)
FAKE_BHS_FUNCTION(GetExplosionObj)

#define FAKE_BHS_EXPORT extern "C" __attribute__((visibility("default")))

// Keeps the record's address (it must stay valid while registered) and answers its id.
FAKE_BHS_EXPORT int NewAddObjectCreateHook(void* record) {
    Record_Call("NewAddObjectCreateHook");
    if (!record || hook_count == Max_Hooks)
        return -1;
    hooks[hook_count++] = Hook{next_hook_id, record};
    return next_hook_id++;
}

FAKE_BHS_EXPORT void NewRemoveObjectCreateHook(int id) {
    Record_Call("NewRemoveObjectCreateHook");
    for (int i = 0; i < hook_count; ++i) {
        if (hooks[i].Id == id) {
            std::memmove(hooks + i, hooks + i + 1, sizeof(Hook) * (hook_count - i - 1));
            --hook_count;
            return;
        }
    }
}

// --- The test's side: not part of bhs.dll.

using Object_Create_Callback = void (*)(void* unused, void* object);

// Calls every registered hook with the new object, in registration order, as the host
// does when the server creates a game object.
FAKE_BHS_EXPORT void Fake_Bhs_Object_Created(void* object) {
    for (int i = 0; i < hook_count; ++i) {
        Object_Create_Callback callback;
        uint32_t user_data;
        std::memcpy(&callback, hooks[i].Record, sizeof callback);
        std::memcpy(&user_data, static_cast<const char*>(hooks[i].Record) + 4, sizeof user_data);
        callback(reinterpret_cast<void*>(static_cast<uintptr_t>(user_data)), object);
    }
}

FAKE_BHS_EXPORT int Fake_Bhs_Hook_Count() {
    return hook_count;
}
FAKE_BHS_EXPORT void* Fake_Bhs_Hook_Record(int index) {
    return index >= 0 && index < hook_count ? hooks[index].Record : nullptr;
}
FAKE_BHS_EXPORT int Fake_Bhs_Hook_Id(int index) {
    return index >= 0 && index < hook_count ? hooks[index].Id : 0;
}
FAKE_BHS_EXPORT int Fake_Bhs_Call_Count() {
    return call_count;
}
FAKE_BHS_EXPORT const char* Fake_Bhs_Call(int index) {
    return index >= 0 && index < call_count ? calls[index] : nullptr;
}
FAKE_BHS_EXPORT void Fake_Bhs_Reset() {
    call_count = 0;
    hook_count = 0;
    next_hook_id = 1;
}
