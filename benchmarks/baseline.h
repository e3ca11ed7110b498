// The least any walk over the server's object list can cost: for every node, the live
// test of the listed object, its game object, the live test of that, its physical part
// and the physical part's charge part. Written here with its own offsets and slots, not
// through the plugin's queries, so it measures the server's side alone.
#pragma once

// The number of listed objects that are charges.
int Bare_Walk_Over_Object_List();
