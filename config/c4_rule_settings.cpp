#include "config/c4_rule_settings.h"

C4RuleSettings* Settings = nullptr;

namespace {
bool Page_Enabled(const Text& message) {
    return !message.Equals("-1", 2);
}
} // namespace

void Set_Message_Flags() {
    if (!Settings)
        return;
    C4RuleSettings& s = *Settings;
    s.PPAGE_Message_Enabled = Page_Enabled(s.PPAGE_Message);
    s.TimedC4Limit_Message_Enabled = Page_Enabled(s.TimedC4Limit_Message);
    s.RemoteC4Limit_Message_Enabled = Page_Enabled(s.RemoteC4Limit_Message);
    s.TimedC4Stacked_Message_Enabled = Page_Enabled(s.TimedC4Stacked_Message);
    s.RemoteC4Stacked_Message_Enabled = Page_Enabled(s.RemoteC4Stacked_Message);
}
