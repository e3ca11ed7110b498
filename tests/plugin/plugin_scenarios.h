// The fixture of the plugin scenarios: a fresh stand-in server and working directory, and
// the plugin under test loaded as the server's process loads it.
#pragma once

#include "standin/fake_bhs.h"
#include "standin/message_boxes.h"
#include "standin/server_image.h"
#include "standin/ssgm_records.h"
#include "tests/plugin/plugin_under_test.h"
#include "tests/unit/scratch_directory.h"
#include "tests/unit/standin_test.h"

#include <initializer_list>
#include <memory>

class PluginScenario : public StandinTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The library loaded (again) on a server image of the given builds.
    void Reload_On_Build(std::initializer_list<int32_t> kinds);
    // SSGM's two calls: SSGM_Check_Version, then SSGM_Plugin_Load with bhs.dll's module.
    void Describe(void* bhs_module);
    // The server's Set_Script_Commands with a table (by default the stand-in's).
    bool Hand_Over(CommandTable& table);
    bool Hand_Over_Table();
    // SSGM_Plugin_Unload.
    void Unload_Plugin();

    static void Empty_Host_String(unsigned char* record, size_t at);
    static void Release_Host_Strings(unsigned char* record, std::initializer_list<size_t> at);

    std::unique_ptr<PluginUnderTest> plugin_;
    ScratchDirectory scratch_;
    standin::HostSettingsRecord host_settings_;
    standin::HostContextRecord host_context_;

  private:
    void Load_Library();
    bool unloaded_ = false;
};

// Where the message boxes of the plugin's own (in-process) code go; the loaded DLL's
// always go to the recorder.
void Show_Message_Boxes_To_Recorder(bool on);

// The text of the one log file in the working directory whose name starts with
// `prefix`, or "" when there is none.
std::string Read_Todays_Log(const std::string& prefix);
