// The functions of bhs.dll that the plugin looks up and keeps, each in a variable named
// after it: the function's address, or null when bhs.dll lacks it. Written by
// Set_Script_Commands; only NewAddObjectCreateHook and NewRemoveObjectCreateHook are
// ever called (plugin/plugin_lifecycle.cpp).
#pragma once

#include "host/ssgm.h"

#include <cstdint>

// The calling forms of the two that are called.
using New_Add_Object_Create_Hook_Fn = int32_t (*)(ObjectCreateHook* record);
using New_Remove_Object_Create_Hook_Fn = void (*)(int32_t id);

extern void* New_Enable_Stealth_Player;
extern void* New_Set_Fog_Enable_Player;
extern void* New_Set_Fog_Range_Player;
extern void* New_Set_Background_Music_Player;
extern void* New_Fade_Background_Music_Player;
extern void* New_Stop_Background_Music_Player;
extern void* New_Enable_Radar_Player;
extern void* New_Display_GDI_Player_Terminal_Player;
extern void* New_Display_NOD_Player_Terminal_Player;
extern void* New_Set_Screen_Fade_Color_Player;
extern void* New_Set_Screen_Fade_Opacity_Player;
extern void* New_Force_Camera_Look_Player;
extern void* New_Enable_HUD_Player;
extern void* New_Create_Sound_Player;
extern void* New_Create_2D_Sound_Player;
extern void* New_Create_2D_WAV_Sound_Player;
extern void* New_Create_3D_WAV_Sound_At_Bone_Player;
extern void* New_Create_3D_Sound_At_Bone_Player;
extern void* New_Set_Display_Color_Player;
extern void* New_Display_Text_Player;
extern void* New_Display_Int_Player;
extern void* New_Display_Float_Player;
extern void* New_Set_Obj_Radar_Blip_Shape_Player;
extern void* New_Set_Obj_Radar_Blip_Color_Player;
extern void* NewAddObjectCreateHook;
extern void* NewRemoveObjectCreateHook;
extern void* AddKeyHook;
extern void* RemoveKeyHook;
extern void* Set_Scope;
extern void* Set_HUD_Texture;
extern void* AddChatHook;
extern void* AddHostHook;
extern void* AddLoadLevelHook;
extern void* AddGameOverHook;
extern void* AddPlayerJoinHook;
extern void* GetCurrentMusicTrack;
extern void* Set_Info_Texture;
extern void* Clear_Info_Texture;
extern void* Set_Vehicle_Limit;
extern void* Get_Vehicle_Limit;
extern void* Send_Message;
extern void* Send_Message_Player;
extern void* AddVersionHook;
extern void* Set_Wireframe_Mode;
extern void* Load_New_HUD_INI;
extern void* Remove_Weapon;
extern void* Update_PT_Data;
extern void* Change_Radar_Map;
extern void* AddPowerupPurchaseHook;
extern void* AddVehiclePurchaseHook;
extern void* AddCharacterPurchaseHook;
extern void* AddPowerupPurchaseMonHook;
extern void* AddVehiclePurchaseMonHook;
extern void* AddCharacterPurchaseMonHook;
extern void* RemovePowerupPurchaseHook;
extern void* RemoveVehiclePurchaseHook;
extern void* RemoveCharacterPurchaseHook;
extern void* RemovePowerupPurchaseMonHook;
extern void* RemoveVehiclePurchaseMonHook;
extern void* RemoveCharacterPurchaseMonHook;
extern void* Get_Build_Time_Multiplier;
extern void* Set_Currently_Building;
extern void* Is_Currently_Building;
extern void* AddConsoleOutputHook;
extern void* AddCRCHook;
extern void* AddDataHook;
extern void* Set_Reticle_Texture1;
extern void* Set_Reticle_Texture2;
extern void* New_Set_Fog_Color;
extern void* Set_Fog_Color_Player;
extern void* New_Set_Fog_Mode;
extern void* Set_Fog_Mode_Player;
extern void* Set_Shader_Number;
extern void* New_Set_Fog_Density;
extern void* Set_Fog_Density_Player;
extern void* New_Change_Time_Remaining;
extern void* New_Change_Time_Limit;
extern void* Display_GDI_Sidebar;
extern void* Display_NOD_Sidebar;
extern void* Display_Security_Dialog;
extern void* AddPlayerLeaveHook;
extern void* GetExplosionObj;
