// The fixture every unit test stands on: a fresh stand-in server (allocator, command
// table, world, INI objects, and an image of a recognised server build that the plugin
// binds against as it would in a server process) and, at the end, the proof that the
// plugin gave back every block it took, released every INI object it loaded and made no
// call the stand-in does not serve.
#pragma once

#include "standin/allocator.h"
#include "standin/command_table.h"
#include "standin/host_routines.h"
#include "standin/ini.h"
#include "standin/world.h"

#include <gtest/gtest.h>

#include <memory>

class StandinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::Reset_Allocator();
        standin::Reset_Command_Table();
        standin::Reset_Ini();
        world_ = std::make_unique<standin::World>();
        ASSERT_TRUE(standin::Install_Host_Routines()) << "no server image in this process";
    }

    void TearDown() override {
        // The server destroys what is left, scripts included, before the accounting.
        world().Destroy_All_Objects();
        const standin::AllocatorCounts counts = standin::Allocator_Counts();
        // The vector tables of every binding run stay live by design (counts.Kept).
        EXPECT_EQ(counts.Live, kept_blocks_ + counts.Kept) << "blocks the plugin did not give back";
        EXPECT_EQ(counts.Unknown_Frees, 0u) << "blocks given back that were never handed out";
        EXPECT_EQ(counts.Double_Frees, 0u) << "blocks given back twice";
        EXPECT_TRUE(world().Unexpected_Calls.empty())
            << "first unexpected slot call: " << world().Unexpected_Calls.front().Where << " slot "
            << world().Unexpected_Calls.front().Slot;
        EXPECT_TRUE(standin::Trap_Calls().empty())
            << "first command called that the stand-in does not serve: offset "
            << standin::Trap_Calls().front();
        const standin::IniCounts ini = standin::Ini_Counts();
        EXPECT_EQ(ini.Live, 0u) << "INI objects the plugin did not release";
        EXPECT_EQ(ini.Bad_Handle_Calls, 0u) << "INI calls with null or a released handle";
        standin::Clear_Host_Routines();
        standin::Reset_Ini();
        world_.reset();
        standin::Reset_Allocator();
    }

    standin::World& world() { return *world_; }
    // Blocks a test means to leave live at its end (besides the vector tables).
    void Keep_Blocks(size_t count) { kept_blocks_ = count; }

  private:
    std::unique_ptr<standin::World> world_;
    size_t kept_blocks_ = 0;
};
