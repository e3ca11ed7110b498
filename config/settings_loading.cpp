#include "config/settings_loading.h"

#include "config/c4_rule_settings.h"

void Load_Settings() {
    if (!Settings)
        return;
    C4RuleSettings& s = *Settings;
    s.Reload();
    s.ChangeLogged = false;
    s.Read_Int_Setting("TimedC4Limit", s.TimedC4Limit);
    s.Read_Int_Setting("RemoteC4Limit", s.RemoteC4Limit);
    s.Read_Int_Setting("TimedC4Stacked", s.TimedC4Stacked);
    s.Read_Int_Setting("RemoteC4Stacked", s.RemoteC4Stacked);
    s.Read_String_Setting("PPAGE_Message", s.PPAGE_Message);
    s.Read_String_Setting("RemoteC4Stacked_Message", s.RemoteC4Stacked_Message);
    s.Read_String_Setting("TimedC4Stacked_Message", s.TimedC4Stacked_Message);
    s.Read_String_Setting("RemoteC4Limit_Message", s.RemoteC4Limit_Message);
    s.Read_String_Setting("TimedC4Limit_Message", s.TimedC4Limit_Message);
    s.Read_Int_Setting("ActivationWaitTime", s.ActivationWaitTime);
}
