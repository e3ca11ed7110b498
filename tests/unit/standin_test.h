// The fixture every unit test stands on: a fresh stand-in server (allocator, command
// table, world, address table) and, at the end, the proof that the plugin gave back every
// block it took and made no call the stand-in does not serve.
#pragma once

#include "standin/allocator.h"
#include "standin/command_table.h"
#include "standin/host_routines.h"
#include "standin/world.h"

#include <gtest/gtest.h>

#include <memory>

class StandinTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::Reset_Allocator();
        standin::Reset_Command_Table();
        world_ = std::make_unique<standin::World>();
        standin::Install_Host_Routines();
    }

    void TearDown() override {
        const standin::AllocatorCounts counts = standin::Allocator_Counts();
        EXPECT_EQ(counts.Live, kept_blocks_) << "blocks the plugin did not give back";
        EXPECT_EQ(counts.Unknown_Frees, 0u) << "blocks given back that were never handed out";
        EXPECT_EQ(counts.Double_Frees, 0u) << "blocks given back twice";
        EXPECT_TRUE(world().Unexpected_Calls.empty())
            << "first unexpected slot call: " << world().Unexpected_Calls.front().Where << " slot "
            << world().Unexpected_Calls.front().Slot;
        EXPECT_TRUE(standin::Trap_Calls().empty())
            << "first command called that the stand-in does not serve: offset "
            << standin::Trap_Calls().front();
        standin::Clear_Host_Routines();
        world_.reset();
        standin::Reset_Allocator();
    }

    standin::World& world() { return *world_; }
    // Blocks a test means to leave live at its end.
    void Keep_Blocks(size_t count) { kept_blocks_ = count; }

  private:
    std::unique_ptr<standin::World> world_;
    size_t kept_blocks_ = 0;
};
