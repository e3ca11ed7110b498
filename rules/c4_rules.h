// Judges one C4 charge, once, at the end of its activation wait: removes it (paging its
// owner first, where that page is enabled) when it sits where the rules forbid.
#pragma once

#include "engine/text.h"
#include "host/server_object.h"

void Check_C4_Placement(ServerObject charge);

// Pages the charge's owner with "ppage <owner id> <message>"; a line over 255 characters
// is not sent.
void Page_Owner(ServerObject charge, const Text& message);
