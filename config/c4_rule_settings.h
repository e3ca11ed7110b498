// Everything by which the C4 rules are tuned. The plugin keeps exactly one record, made at
// plugin start, filled from the settings file (Load_Settings), armed by Set_Message_Flags,
// and only read from then on.
#pragma once

#include "config/config_file.h"
#include "engine/text.h"

#include <cstdint>

// The settings file's access is a virtual base, built before the record's own fields and
// destroyed after them.
struct C4RuleSettings : virtual ConfigFile {
    // Field order is the record's own; every field is named after the key that fills it.
    // The numbers start at 1, the value a key missing from the file gives.
    int32_t TimedC4Limit = 1;
    int32_t RemoteC4Limit = 1;
    int32_t ActivationWaitTime = 1;
    Text PPAGE_Message;
    Text TimedC4Limit_Message;
    Text RemoteC4Limit_Message;
    Text TimedC4Stacked_Message;
    Text RemoteC4Stacked_Message;
    int32_t TimedC4Stacked = 1;
    int32_t RemoteC4Stacked = 1;
    bool PPAGE_Message_Enabled = false;
    bool TimedC4Limit_Message_Enabled = false;
    bool RemoteC4Limit_Message_Enabled = false;
    bool TimedC4Stacked_Message_Enabled = false;
    bool RemoteC4Stacked_Message_Enabled = false;
    // Members are destroyed in reverse order, which releases the texts from
    // RemoteC4Stacked_Message back to PPAGE_Message.
};

// The single record; null before plugin start.
extern C4RuleSettings* Settings;

// Sets each message flag of the single record from its text: off exactly when the text is
// the two characters "-1".
void Set_Message_Flags();
