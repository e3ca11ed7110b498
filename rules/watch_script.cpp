#include "rules/watch_script.h"

#include "config/c4_rule_settings.h"
#include "engine/commands.h"
#include "engine/game_objects.h"
#include "rules/c4_rules.h"

void THISCALL Brask_Tarnwick::Notify_Created(ServerObject object) {
    // Without settings there is no wait to start and nothing to judge by.
    if (!Settings)
        return;
    Cmd_Start_Timer(object, this, static_cast<float>(Settings->ActivationWaitTime),
                    Activation_Timer);
}

void THISCALL Brask_Tarnwick::Notify_Timer(ServerObject object, int32_t) {
    Check_C4_Placement(object);
}

void Watch_New_Object(void*, ServerObject object) {
    if (!Object_Is_Charge(object) || Object_Has_Watch_Script(object))
        return;
    Cmd_Attach_Script(object, Watch_Script_Name, "");
}
