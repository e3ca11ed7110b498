#include "plugin/script_commands.h"

#include "platform/platform.h"
#include "plugin/bhs_functions.h"
#include "plugin/plugin_lifecycle.h"
#include "plugin/plugin_state.h"

#include <cstddef>

void* New_Enable_Stealth_Player = nullptr;
void* New_Set_Fog_Enable_Player = nullptr;
void* New_Set_Fog_Range_Player = nullptr;
void* New_Set_Background_Music_Player = nullptr;
void* New_Fade_Background_Music_Player = nullptr;
void* New_Stop_Background_Music_Player = nullptr;
void* New_Enable_Radar_Player = nullptr;
void* New_Display_GDI_Player_Terminal_Player = nullptr;
void* New_Display_NOD_Player_Terminal_Player = nullptr;
void* New_Set_Screen_Fade_Color_Player = nullptr;
void* New_Set_Screen_Fade_Opacity_Player = nullptr;
void* New_Force_Camera_Look_Player = nullptr;
void* New_Enable_HUD_Player = nullptr;
void* New_Create_Sound_Player = nullptr;
void* New_Create_2D_Sound_Player = nullptr;
void* New_Create_2D_WAV_Sound_Player = nullptr;
void* New_Create_3D_WAV_Sound_At_Bone_Player = nullptr;
void* New_Create_3D_Sound_At_Bone_Player = nullptr;
void* New_Set_Display_Color_Player = nullptr;
void* New_Display_Text_Player = nullptr;
void* New_Display_Int_Player = nullptr;
void* New_Display_Float_Player = nullptr;
void* New_Set_Obj_Radar_Blip_Shape_Player = nullptr;
void* New_Set_Obj_Radar_Blip_Color_Player = nullptr;
void* NewAddObjectCreateHook = nullptr;
void* NewRemoveObjectCreateHook = nullptr;
void* AddKeyHook = nullptr;
void* RemoveKeyHook = nullptr;
void* Set_Scope = nullptr;
void* Set_HUD_Texture = nullptr;
void* AddChatHook = nullptr;
void* AddHostHook = nullptr;
void* AddLoadLevelHook = nullptr;
void* AddGameOverHook = nullptr;
void* AddPlayerJoinHook = nullptr;
void* GetCurrentMusicTrack = nullptr;
void* Set_Info_Texture = nullptr;
void* Clear_Info_Texture = nullptr;
void* Set_Vehicle_Limit = nullptr;
void* Get_Vehicle_Limit = nullptr;
void* Send_Message = nullptr;
void* Send_Message_Player = nullptr;
void* AddVersionHook = nullptr;
void* Set_Wireframe_Mode = nullptr;
void* Load_New_HUD_INI = nullptr;
void* Remove_Weapon = nullptr;
void* Update_PT_Data = nullptr;
void* Change_Radar_Map = nullptr;
void* AddPowerupPurchaseHook = nullptr;
void* AddVehiclePurchaseHook = nullptr;
void* AddCharacterPurchaseHook = nullptr;
void* AddPowerupPurchaseMonHook = nullptr;
void* AddVehiclePurchaseMonHook = nullptr;
void* AddCharacterPurchaseMonHook = nullptr;
void* RemovePowerupPurchaseHook = nullptr;
void* RemoveVehiclePurchaseHook = nullptr;
void* RemoveCharacterPurchaseHook = nullptr;
void* RemovePowerupPurchaseMonHook = nullptr;
void* RemoveVehiclePurchaseMonHook = nullptr;
void* RemoveCharacterPurchaseMonHook = nullptr;
void* Get_Build_Time_Multiplier = nullptr;
void* Set_Currently_Building = nullptr;
void* Is_Currently_Building = nullptr;
void* AddConsoleOutputHook = nullptr;
void* AddCRCHook = nullptr;
void* AddDataHook = nullptr;
void* Set_Reticle_Texture1 = nullptr;
void* Set_Reticle_Texture2 = nullptr;
void* New_Set_Fog_Color = nullptr;
void* Set_Fog_Color_Player = nullptr;
void* New_Set_Fog_Mode = nullptr;
void* Set_Fog_Mode_Player = nullptr;
void* Set_Shader_Number = nullptr;
void* New_Set_Fog_Density = nullptr;
void* Set_Fog_Density_Player = nullptr;
void* New_Change_Time_Remaining = nullptr;
void* New_Change_Time_Limit = nullptr;
void* Display_GDI_Sidebar = nullptr;
void* Display_NOD_Sidebar = nullptr;
void* Display_Security_Dialog = nullptr;
void* AddPlayerLeaveHook = nullptr;
void* GetExplosionObj = nullptr;

namespace {

// Where a looked-up function goes: a byte offset of the command table, or a variable.
struct Lookup {
    const char* Name;
    uint32_t Table_Offset; // 0: held in `Held`
    void** Held;
};

// In the order in which they are looked up (and a missing one is reported).
constexpr Lookup lookups[] = {
    {"New_Enable_Stealth", 708, nullptr},
    {"New_Create_Explosion", 416, nullptr},
    {"New_Create_Explosion_At_Bone", 420, nullptr},
    {"New_Set_Fog_Enable", 700, nullptr},
    {"New_Set_Fog_Range", 704, nullptr},
    {"New_Set_War_Blitz", 680, nullptr},
    {"New_Fade_Background_Music", 212, nullptr},
    {"New_Set_Background_Music", 208, nullptr},
    {"New_Stop_Background_Music", 216, nullptr},
    {"New_Create_Sound", 172, nullptr},
    {"New_Create_2D_Sound", 176, nullptr},
    {"New_Create_2D_WAV_Sound", 180, nullptr},
    {"New_Create_3D_WAV_Sound_At_Bone", 184, nullptr},
    {"New_Create_3D_Sound_At_Bone", 188, nullptr},
    {"New_Play_Building_Announcement", 656, nullptr},
    {"New_Clear_Weapons", 796, nullptr},
    {"New_Enable_Vehicle_Transitions", 728, nullptr},
    {"New_Set_Player_Type", 252, nullptr},
    {"New_Set_Screen_Fade_Color", 808, nullptr},
    {"New_Set_Screen_Fade_Opacity", 812, nullptr},
    {"New_Set_Display_Color", 304, nullptr},
    {"New_Display_Text", 308, nullptr},
    {"New_Display_Float", 312, nullptr},
    {"New_Display_Int", 316, nullptr},
    {"New_Select_Weapon", 136, nullptr},
    {"New_Shake_Camera", 540, nullptr},
    {"New_Set_Model", 160, nullptr},
    {"New_Enable_Stealth_Player", 0, &New_Enable_Stealth_Player},
    {"New_Set_Fog_Enable_Player", 0, &New_Set_Fog_Enable_Player},
    {"New_Set_Fog_Range_Player", 0, &New_Set_Fog_Range_Player},
    {"New_Set_Background_Music_Player", 0, &New_Set_Background_Music_Player},
    {"New_Fade_Background_Music_Player", 0, &New_Fade_Background_Music_Player},
    {"New_Stop_Background_Music_Player", 0, &New_Stop_Background_Music_Player},
    {"New_Enable_Radar_Player", 0, &New_Enable_Radar_Player},
    {"New_Display_GDI_Player_Terminal_Player", 0, &New_Display_GDI_Player_Terminal_Player},
    {"New_Display_NOD_Player_Terminal_Player", 0, &New_Display_NOD_Player_Terminal_Player},
    {"New_Set_Screen_Fade_Color_Player", 0, &New_Set_Screen_Fade_Color_Player},
    {"New_Set_Screen_Fade_Opacity_Player", 0, &New_Set_Screen_Fade_Opacity_Player},
    {"New_Force_Camera_Look_Player", 0, &New_Force_Camera_Look_Player},
    {"New_Enable_HUD_Player", 0, &New_Enable_HUD_Player},
    {"New_Create_Sound_Player", 0, &New_Create_Sound_Player},
    {"New_Create_2D_Sound_Player", 0, &New_Create_2D_Sound_Player},
    {"New_Create_2D_WAV_Sound_Player", 0, &New_Create_2D_WAV_Sound_Player},
    {"New_Create_3D_WAV_Sound_At_Bone_Player", 0, &New_Create_3D_WAV_Sound_At_Bone_Player},
    {"New_Create_3D_Sound_At_Bone_Player", 0, &New_Create_3D_Sound_At_Bone_Player},
    {"New_Set_Display_Color_Player", 0, &New_Set_Display_Color_Player},
    {"New_Display_Text_Player", 0, &New_Display_Text_Player},
    {"New_Display_Int_Player", 0, &New_Display_Int_Player},
    {"New_Display_Float_Player", 0, &New_Display_Float_Player},
    {"New_Set_Obj_Radar_Blip_Shape", 372, nullptr},
    {"New_Set_Obj_Radar_Blip_Color", 376, nullptr},
    {"New_Set_Obj_Radar_Blip_Shape_Player", 0, &New_Set_Obj_Radar_Blip_Shape_Player},
    {"New_Set_Obj_Radar_Blip_Color_Player", 0, &New_Set_Obj_Radar_Blip_Color_Player},
    {"NewAddObjectCreateHook", 0, &NewAddObjectCreateHook},
    {"NewRemoveObjectCreateHook", 0, &NewRemoveObjectCreateHook},
    {"AddKeyHook", 0, &AddKeyHook},
    {"RemoveKeyHook", 0, &RemoveKeyHook},
    {"Set_Scope", 0, &Set_Scope},
    {"Set_HUD_Texture", 0, &Set_HUD_Texture},
    {"AddChatHook", 0, &AddChatHook},
    {"AddHostHook", 0, &AddHostHook},
    {"AddLoadLevelHook", 0, &AddLoadLevelHook},
    {"AddGameOverHook", 0, &AddGameOverHook},
    {"AddPlayerJoinHook", 0, &AddPlayerJoinHook},
    {"GetCurrentMusicTrack", 0, &GetCurrentMusicTrack},
    {"Set_Info_Texture", 0, &Set_Info_Texture},
    {"Clear_Info_Texture", 0, &Clear_Info_Texture},
    {"Set_Vehicle_Limit", 0, &Set_Vehicle_Limit},
    {"Get_Vehicle_Limit", 0, &Get_Vehicle_Limit},
    {"Send_Message", 0, &Send_Message},
    {"Send_Message_Player", 0, &Send_Message_Player},
    {"New_Display_Health_Bar", 788, nullptr},
    {"AddVersionHook", 0, &AddVersionHook},
    {"Set_Wireframe_Mode", 0, &Set_Wireframe_Mode},
    {"New_Disable_All_Collisions", 80, nullptr},
    {"New_Disable_Physical_Collisions", 84, nullptr},
    {"New_Enable_Collisions", 88, nullptr},
    {"Load_New_HUD_INI", 0, &Load_New_HUD_INI},
    {"Remove_Weapon", 0, &Remove_Weapon},
    {"Update_PT_Data", 0, &Update_PT_Data},
    {"Change_Radar_Map", 0, &Change_Radar_Map},
    {"AddPowerupPurchaseHook", 0, &AddPowerupPurchaseHook},
    {"AddVehiclePurchaseHook", 0, &AddVehiclePurchaseHook},
    {"AddCharacterPurchaseHook", 0, &AddCharacterPurchaseHook},
    {"AddPowerupPurchaseMonHook", 0, &AddPowerupPurchaseMonHook},
    {"AddVehiclePurchaseMonHook", 0, &AddVehiclePurchaseMonHook},
    {"AddCharacterPurchaseMonHook", 0, &AddCharacterPurchaseMonHook},
    {"RemovePowerupPurchaseHook", 0, &RemovePowerupPurchaseHook},
    {"RemoveVehiclePurchaseHook", 0, &RemoveVehiclePurchaseHook},
    {"RemoveCharacterPurchaseHook", 0, &RemoveCharacterPurchaseHook},
    {"RemovePowerupPurchaseMonHook", 0, &RemovePowerupPurchaseMonHook},
    {"RemoveVehiclePurchaseMonHook", 0, &RemoveVehiclePurchaseMonHook},
    {"RemoveCharacterPurchaseMonHook", 0, &RemoveCharacterPurchaseMonHook},
    {"Get_Build_Time_Multiplier", 0, &Get_Build_Time_Multiplier},
    {"Set_Currently_Building", 0, &Set_Currently_Building},
    {"Is_Currently_Building", 0, &Is_Currently_Building},
    {"AddConsoleOutputHook", 0, &AddConsoleOutputHook},
    {"AddCRCHook", 0, &AddCRCHook},
    {"AddDataHook", 0, &AddDataHook},
    {"Set_Reticle_Texture1", 0, &Set_Reticle_Texture1},
    {"Set_Reticle_Texture2", 0, &Set_Reticle_Texture2},
    {"New_Set_Fog_Color", 0, &New_Set_Fog_Color},
    {"Set_Fog_Color_Player", 0, &Set_Fog_Color_Player},
    {"New_Set_Fog_Mode", 0, &New_Set_Fog_Mode},
    {"Set_Fog_Mode_Player", 0, &Set_Fog_Mode_Player},
    {"Set_Shader_Number", 0, &Set_Shader_Number},
    {"New_Set_Fog_Density", 0, &New_Set_Fog_Density},
    {"Set_Fog_Density_Player", 0, &Set_Fog_Density_Player},
    {"New_Change_Time_Remaining", 0, &New_Change_Time_Remaining},
    {"New_Change_Time_Limit", 0, &New_Change_Time_Limit},
    {"Display_GDI_Sidebar", 0, &Display_GDI_Sidebar},
    {"Display_NOD_Sidebar", 0, &Display_NOD_Sidebar},
    {"Display_Security_Dialog", 0, &Display_Security_Dialog},
    {"AddPlayerLeaveHook", 0, &AddPlayerLeaveHook},
    {"GetExplosionObj", 0, &GetExplosionObj},
};
constexpr uint32_t Table_Entries(const Lookup* begin, const Lookup* end) {
    uint32_t count = 0;
    for (; begin != end; ++begin)
        count += begin->Held ? 0 : 1;
    return count;
}
static_assert(sizeof lookups / sizeof lookups[0] == Bhs_Function_Count, "every lookup listed");
static_assert(Table_Entries(lookups, lookups + Bhs_Function_Count) == Bhs_Table_Entry_Count,
              "the table entries among them");

} // namespace

void Look_Up_Bhs_Functions(CommandTable* table) {
    for (const Lookup& lookup : lookups) {
        void* function = Module_Function(Bhs_Module, lookup.Name);
        // Modal: the server's thread waits here until the operator dismisses it.
        if (!function)
            Show_Message_Box(Missing_Function_Text, lookup.Name, Missing_Function_Style);
        if (lookup.Held) {
            *lookup.Held = function;
        } else {
            Set_Command_Entry(table, lookup.Table_Offset, function);
        }
    }
}

extern "C" bool Set_Script_Commands(ScriptCommands* commands) {
    // Kept before the check, so a refused table stays the one referenced.
    Command_Table = commands ? commands->Table : nullptr;
    if (!Command_Table || Command_Table->Size != Command_Table_Size ||
        Command_Table->Version != Command_Table_Version)
        return false;
    Look_Up_Bhs_Functions(Command_Table);
    Plugin_Start();
    return true;
}

extern "C" void Set_Request_Destroy_Func(Request_Destroy_Fn callback) {
    Request_Destroy_Callback = callback;
}
