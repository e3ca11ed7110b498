// tarnwick-sim.exe, the Windows simulator, cannot run here; what it must be can be read
// from the file: a program at the server's image base, that is its own bhs.dll.
#include "platform/message_box_posix.h"
#include "plugin/plugin_state.h"
#include "plugin/script_commands.h"
#include "standin/command_table.h"
#include "standin/fake_bhs.h"
#include "standin/message_boxes.h"
#include "standin/pe_loader.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <filesystem>

TEST(WindowsSimulator, exports_every_function_the_plugin_looks_up_and_sits_at_the_servers_base) {
    const std::string path = TARNWICK_WIN32_SIM;
    if (!std::filesystem::exists(path))
        GTEST_SKIP() << path << " is not built (build the win32 preset first)";
    standin::PeImageInfo info;
    std::string error;
    ASSERT_TRUE(standin::Read_Pe_Image(path, info, error)) << error;
    EXPECT_FALSE(info.Is_Dll);
    EXPECT_EQ(info.Image_Base, 0x400000u);

    // The names the plugin looks up: one message box for each when none is found.
    standin::Clear_Message_Boxes();
    Set_Message_Box_Handler(&standin::Record_Message_Box);
    Bhs_Module = standin::Module_Without_Bhs_Functions();
    CommandTable table = standin::Command_Table_Instance();
    Look_Up_Bhs_Functions(&table);
    Bhs_Module = nullptr;
    Set_Message_Box_Handler(nullptr);

    ASSERT_EQ(standin::Message_Boxes().size(), 115u);
    for (const standin::MessageBoxCall& box : standin::Message_Boxes())
        EXPECT_NE(std::find(info.Exports.begin(), info.Exports.end(), box.Caption),
                  info.Exports.end())
            << box.Caption << " is not exported";
    standin::Clear_Message_Boxes();
}
