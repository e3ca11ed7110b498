// Filling the single settings record from the settings file.
#pragma once

// Refreshes the settings file's copy and reads every key into the single record, writing
// one log line when this load changed any value. Does nothing before the record exists.
void Load_Settings();
