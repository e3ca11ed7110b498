// The watch script that sits on every C4 charge, and the object-create hook that puts
// it there. The script waits out the charge's activation time and then has the charge
// judged, once.
#pragma once

#include "engine/game_objects.h"
#include "host/server_object.h"
#include "scripts/script_class.h"

// The activation timer's number.
constexpr int32_t Activation_Timer = 1;

class Brask_Tarnwick : public ScriptImpClass {
  public:
    // Starts the activation timer.
    void THISCALL Notify_Created(ServerObject object) override;
    // Judges the charge, whatever the timer's number.
    void THISCALL Notify_Timer(ServerObject object, int32_t number) override;
};
static_assert(sizeof(Brask_Tarnwick) == sizeof(ScriptImpClass), "the watch script adds no field");

// The hook callback, called by bhs.dll for every new game object: attaches the watch
// script to a live charge that does not have it yet.
void Watch_New_Object(void* unused, ServerObject object);
