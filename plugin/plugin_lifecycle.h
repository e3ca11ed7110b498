// The plugin's life from load to unload: attach, start (once the server's command table
// is in) and the three plugin-host exports (declared in plugin/exports.h).
#pragma once

// The attach handler's work, for the process attaching the library: binds the server's
// addresses unless the build is already recognised.
void Plugin_Attach();

// Creates and loads the settings record, registers the object-create hook and arms the
// message flags. On a server build whose routines the rules need are not bound, it does
// none of that and tells the operator once (Unsupported_Build_Line, header "_GENERAL",
// and on standard output).
void Plugin_Start();

// Set once the operator has been told; the line is not repeated.
extern bool Unsupported_Build_Reported;

constexpr char Plugin_Title[] = "Tarnwick Plugin";
constexpr char Plugin_Version[] = "1.0";
constexpr char Host_Interface_Version[] = "2.0.2";
constexpr char Unsupported_Build_Line[] =
    "Tarnwick Plugin: this server build is not supported; C4 rules are off";
