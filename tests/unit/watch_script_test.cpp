// The road of a charge: the server creates it, bhs.dll calls the hook, the server
// attaches the watch script and notifies it, the activation timer fires on the
// stand-in's clock, the rules judge the charge, and a removed charge goes with its script.
#include "rules/watch_script.h"

#include "config/c4_rule_settings.h"
#include "engine/game_objects.h"
#include "host/ssgm.h"
#include "scripts/script_registry.h"
#include "standin/script_slots.h"
#include "standin_test.h"

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace standin;
using Lines = std::vector<std::string>;

// The record as bhs.dll holds it; it calls the callback with a value of its own first.
const ObjectCreateHook Hook{&Watch_New_Object, 0};
void Object_Created(ServerObject object) {
    Hook.Callback(reinterpret_cast<void*>(0x5eed), object);
}

ScriptClass* Only_Script(World& w, ServerObject object) {
    const std::vector<ScriptClass*>& scripts = w.Info(object).Scripts;
    EXPECT_EQ(scripts.size(), 1u);
    return scripts.empty() ? nullptr : scripts[0];
}

// Players 5 and 7 on team 0, 6 on team 1. Limits 1, a wait of 5 seconds, every page on.
class WatchScript : public StandinTest {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        world().Use_Script_Library(&Create_Script);
        Settings = new C4RuleSettings;
        ASSERT_NE(Settings, nullptr);
        Settings->ActivationWaitTime = 5;
        Settings->PPAGE_Message.Assign("general");
        Settings->TimedC4Limit_Message.Assign("timed limit");
        Settings->RemoteC4Limit_Message.Assign("remote limit");
        Settings->TimedC4Stacked_Message.Assign("timed stacked");
        Settings->RemoteC4Stacked_Message.Assign("remote stacked");
        Set_Message_Flags();
        settings_blocks_ = Plugin_Blocks();
        nod = world().Add_Soldier(0, 5);
        gdi = world().Add_Soldier(1, 6);
        mate = world().Add_Soldier(0, 7);
    }
    void TearDown() override {
        // The scripts go before the settings, as they would at the server's shutdown.
        world().Destroy_All_Objects();
        delete Settings;
        Settings = nullptr;
        StandinTest::TearDown();
    }

    // Blocks the plugin holds beyond its settings.
    size_t Script_Blocks() const { return Plugin_Blocks() - settings_blocks_; }
    // Live blocks apart from the vector tables, which every binding run keeps by design.
    static size_t Plugin_Blocks() { return Allocator_Counts().Live - Allocator_Counts().Kept; }

    // A charge on the own team's harvester, which the rules always remove.
    ServerObject Forbidden_Charge() {
        return world().Add_Charge(C4_Remote, nod, world().Add_Object(0, "CnC_Nod_Harvester"));
    }

    ServerObject nod = nullptr, gdi = nullptr, mate = nullptr;
    size_t settings_blocks_ = 0;
};

TEST_F(WatchScript, a_charge_goes_from_creation_to_removal_with_the_page_and_leaves_nothing) {
    ServerObject charge = Forbidden_Charge();
    Object_Created(charge);

    ASSERT_EQ(world().Attach_Requests.size(), 1u);
    EXPECT_EQ(world().Attach_Requests[0].Object, charge);
    EXPECT_EQ(world().Attach_Requests[0].Name, "Brask_Tarnwick");
    EXPECT_EQ(world().Attach_Requests[0].Parameters, "");
    ScriptClass* script = Only_Script(world(), charge);
    ASSERT_NE(script, nullptr);
    EXPECT_STREQ(Script_Name(script), "Brask_Tarnwick");
    EXPECT_EQ(Script_Owner_Object(script), charge);
    EXPECT_TRUE(Object_Has_Watch_Script(charge));
    ASSERT_EQ(world().Timer_Starts.size(), 1u);
    EXPECT_EQ(world().Timer_Starts[0].Object, charge);
    EXPECT_EQ(world().Timer_Starts[0].Observer, script);
    EXPECT_EQ(world().Timer_Starts[0].Seconds, 5.0f);
    EXPECT_EQ(world().Timer_Starts[0].Number, 1);

    world().Advance_Clock(4.5);
    EXPECT_TRUE(world().Console_Lines.empty());
    EXPECT_TRUE(world().Removed_Charges.empty());

    world().Advance_Clock(0.5);
    EXPECT_EQ(world().Console_Lines, Lines{"ppage 5 general"});
    EXPECT_EQ(world().Removed_Charges, std::vector<ServerObject>{charge});
    // At the end of the step the server destroys the charge; the script asked for it
    // when it was unbound.
    EXPECT_FALSE(world().Is_Live(charge));
    EXPECT_EQ(world().Destroy_Requests, std::vector<ScriptClass*>{script});
    EXPECT_EQ(world().Destroyed_Scripts, std::vector<ScriptClass*>{script});
    EXPECT_EQ(Script_Blocks(), 0u);
    EXPECT_EQ(world().Pending_Timers(), 0u);
}

TEST_F(WatchScript, the_hook_gives_each_new_charge_one_watch_script_and_other_objects_none) {
    const struct {
        const char* name;
        std::function<ServerObject(World&)> make;
        bool watched;
    } cases[] = {
        {"soldier", [](World& w) { return w.Add_Soldier(0, 9); }, false},
        {"vehicle", [](World& w) { return w.Add_Vehicle(1, 2); }, false},
        {"building", [](World& w) { return w.Add_Object(0, "CnC_Nod_Obelisk", true); }, false},
        {"remote charge", [](World& w) { return w.Add_Charge(C4_Remote, nullptr, nullptr); }, true},
        {"timed charge", [](World& w) { return w.Add_Charge(C4_Timed, nullptr, nullptr); }, true},
        {"third kind", [](World& w) { return w.Add_Charge(C4_Third, nullptr, nullptr); }, true},
        {"charge no longer live",
         [](World& w) {
             ServerObject c = w.Add_Charge(C4_Timed, nullptr, nullptr);
             w.Kill(c);
             return c;
         },
         false},
        {"no object", [](World&) { return nullptr; }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        world().Attach_Requests.clear();
        world().Timer_Starts.clear();
        ServerObject object = c.make(world());
        Object_Created(object);
        Object_Created(object); // a second call finds the script there
        EXPECT_EQ(world().Attach_Requests.size(), c.watched ? 1u : 0u);
        if (!c.watched)
            continue;
        ScriptClass* script = Only_Script(world(), object);
        ASSERT_NE(script, nullptr);
        EXPECT_STREQ(Script_Name(script), "Brask_Tarnwick");
        EXPECT_EQ(world().Timer_Starts.size(), 1u);
    }
    EXPECT_TRUE(world().Console_Lines.empty());
}

TEST_F(WatchScript, a_charge_that_carries_the_script_in_other_letters_is_left_alone) {
    ServerObject charge = Forbidden_Charge();
    world().Add_Observer(charge, "BRASK_TARNWICK");
    Object_Created(charge);
    EXPECT_TRUE(world().Attach_Requests.empty());
    EXPECT_TRUE(world().Info(charge).Scripts.empty());
}

TEST_F(WatchScript, the_timer_runs_for_the_wait_as_given_and_the_rules_run_when_it_fires) {
    const struct {
        int32_t wait;
        std::vector<double> quiet_steps; // clock steps after which nothing is judged yet
        double judging_step;
    } cases[] = {
        {5, {0, 4.5}, 0.5},
        {0, {}, 0},
        {-3, {}, 0},
        {1000000, {999999}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "wait " << c.wait);
        Settings->ActivationWaitTime = c.wait;
        world().Console_Lines.clear();
        world().Timer_Starts.clear();
        ServerObject charge = Forbidden_Charge();
        Object_Created(charge);
        ASSERT_EQ(world().Timer_Starts.size(), 1u);
        EXPECT_EQ(world().Timer_Starts[0].Seconds, static_cast<float>(c.wait));
        EXPECT_TRUE(world().Console_Lines.empty()) << "judged before the timer fired";
        for (double step : c.quiet_steps) {
            world().Advance_Clock(step);
            EXPECT_TRUE(world().Console_Lines.empty()) << "judged " << step << " s early";
        }
        world().Advance_Clock(c.judging_step);
        EXPECT_EQ(world().Console_Lines, Lines{"ppage 5 general"});
        EXPECT_FALSE(world().Is_Live(charge));
    }
    EXPECT_EQ(Script_Blocks(), 0u);
}

TEST_F(WatchScript, any_timer_number_reaching_the_watch_script_runs_the_rules) {
    ServerObject charge = Forbidden_Charge();
    Object_Created(charge);
    ScriptClass* script = Only_Script(world(), charge);
    ASSERT_NE(script, nullptr);
    Start_Timer(charge, script, 1.0f, 7);
    world().Advance_Clock(1);
    EXPECT_EQ(world().Console_Lines, Lines{"ppage 5 general"});
    // The charge is gone with its script, and the activation timer with it.
    world().Advance_Clock(10);
    EXPECT_EQ(world().Console_Lines, Lines{"ppage 5 general"});
    EXPECT_EQ(world().Removed_Charges.size(), 1u);
}

TEST_F(WatchScript, a_charge_that_stays_keeps_its_script_and_is_not_judged_again) {
    ServerObject charge = world().Add_Charge(C4_Remote, nod, world().Add_Object(1, "Barracks"));
    Object_Created(charge);
    ScriptClass* script = Only_Script(world(), charge);
    world().Advance_Clock(5);
    world().Advance_Clock(100);
    EXPECT_TRUE(world().Console_Lines.empty());
    EXPECT_TRUE(world().Removed_Charges.empty());
    EXPECT_EQ(Only_Script(world(), charge), script);
    EXPECT_EQ(Script_Owner_Object(script), charge);
    EXPECT_EQ(world().Pending_Timers(), 0u);
    EXPECT_EQ(world().Timer_Starts.size(), 1u);

    // When the charge goes, so does its script.
    world().Destroy_Object(charge);
    EXPECT_EQ(world().Destroyed_Scripts, std::vector<ScriptClass*>{script});
    EXPECT_EQ(Script_Blocks(), 0u);
}

TEST_F(WatchScript, without_settings_a_watch_script_starts_no_timer_and_judges_nothing) {
    delete Settings;
    Settings = nullptr;
    ServerObject charge = Forbidden_Charge();
    Object_Created(charge);
    ScriptClass* script = Only_Script(world(), charge);
    ASSERT_NE(script, nullptr);
    EXPECT_TRUE(world().Timer_Starts.empty());
    Script_Notify_Timer(script, charge, 1);
    EXPECT_TRUE(world().Removed_Charges.empty());
}

// Whole roads, one per outcome of the rules, each in a world of its own: the charges are
// created and reported to the hook one by one (`place`), earlier ones judged before the
// last is placed; the charge built last is judged one wait after it was placed. (Each
// count takes in every charge there at the time, so a second charge placed within the
// first one's wait would count against the first.)
struct Road {
    const char* name;
    std::function<ServerObject(World& w, std::function<ServerObject(ServerObject)> place,
                               ServerObject nod, ServerObject gdi, ServerObject mate)>
        build;
    const char* page; // empty for none
};

TEST_F(WatchScript, every_outcome_of_the_rules_is_reached_from_the_creation_of_the_charge) {
    const Road roads[] = {
        {"protected object of the own team",
         [](World& w, auto place, ServerObject nod, ServerObject, ServerObject) {
             return place(w.Add_Charge(C4_Timed, nod, w.Add_Object(0, "CnC_Nod_Obelisk", true)));
         },
         "ppage 5 general"},
        {"own harvester",
         [](World& w, auto place, ServerObject, ServerObject gdi, ServerObject) {
             return place(w.Add_Charge(C4_Remote, gdi, w.Add_Object(1, "CnC_GDI_Harvester")));
         },
         "ppage 6 general"},
        {"vehicle driven by a team-mate",
         [](World& w, auto place, ServerObject nod, ServerObject, ServerObject mate) {
             ServerObject v = w.Add_Vehicle(0, 2);
             w.Seat(v, 0, mate);
             return place(w.Add_Charge(C4_Remote, nod, v));
         },
         "ppage 5 general"},
        {"third kind on an empty friendly vehicle",
         [](World& w, auto place, ServerObject nod, ServerObject, ServerObject) {
             return place(w.Add_Charge(C4_Third, nod, w.Add_Vehicle(0, 2)));
         },
         "ppage 5 general"},
        {"second remote charge on empty vehicles",
         [](World& w, auto place, ServerObject nod, ServerObject, ServerObject) {
             place(w.Add_Charge(C4_Remote, nod, w.Add_Vehicle(0, 2)));
             w.Advance_Clock(6); // the first is judged, and stays
             return place(w.Add_Charge(C4_Remote, nod, w.Add_Vehicle(0, 2)));
         },
         "ppage 5 remote limit"},
        {"second timed charge on empty vehicles",
         [](World& w, auto place, ServerObject, ServerObject gdi, ServerObject) {
             place(w.Add_Charge(C4_Timed, gdi, w.Add_Vehicle(1, 2)));
             w.Advance_Clock(6);
             return place(w.Add_Charge(C4_Timed, gdi, w.Add_Vehicle(1, 1)));
         },
         "ppage 6 timed limit"},
        {"second stacked remote charge",
         [](World& w, auto place, ServerObject nod, ServerObject, ServerObject) {
             ServerObject a = place(w.Add_Charge(C4_Remote, nod, w.Add_Object(0, "Wall"), 0));
             ServerObject b = place(w.Add_Charge(C4_Remote, nod, a, 0));
             w.Advance_Clock(6); // a and b are judged, and stay
             return place(w.Add_Charge(C4_Remote, nod, b, 0));
         },
         "ppage 5 remote stacked"},
        {"second stacked timed charge on a team-mate's",
         [](World& w, auto place, ServerObject nod, ServerObject, ServerObject mate) {
             ServerObject a = place(w.Add_Charge(C4_Timed, mate, nullptr, 0));
             place(w.Add_Charge(C4_Timed, nod, a, 0));
             w.Advance_Clock(6);
             return place(w.Add_Charge(C4_Timed, nod, a, 0));
         },
         "ppage 5 timed stacked"},
        {"a building of the opposing team",
         [](World& w, auto place, ServerObject nod, ServerObject, ServerObject) {
             return place(w.Add_Charge(C4_Third, nod, w.Add_Object(1, "CnC_GDI_Barracks", true)));
         },
         ""},
        {"stuck to nothing",
         [](World& w, auto place, ServerObject, ServerObject gdi, ServerObject) {
             return place(w.Add_Charge(C4_Remote, gdi, nullptr));
         },
         ""},
    };
    for (const Road& road : roads) {
        SCOPED_TRACE(road.name);
        {
            World w;
            w.Use_Script_Library(&Create_Script);
            ServerObject nod = w.Add_Soldier(0, 5), gdi = w.Add_Soldier(1, 6),
                         mate = w.Add_Soldier(0, 7);
            auto place = [](ServerObject charge) {
                Object_Created(charge);
                return charge;
            };
            ServerObject charge = road.build(w, place, nod, gdi, mate);
            ScriptClass* script = Only_Script(w, charge);
            ASSERT_NE(script, nullptr);
            ASSERT_TRUE(w.Console_Lines.empty()) << "paged before the charge was judged";

            w.Advance_Clock(4.5);
            EXPECT_TRUE(w.Console_Lines.empty()) << "judged early";
            EXPECT_TRUE(w.Removed_Charges.empty());
            w.Advance_Clock(0.5);
            const bool removed = *road.page != '\0';
            EXPECT_EQ(w.Console_Lines, removed ? Lines{road.page} : Lines{});
            EXPECT_EQ(w.Removed_Charges,
                      removed ? std::vector<ServerObject>{charge} : std::vector<ServerObject>{});
            EXPECT_EQ(w.Is_Live(charge), !removed);
            EXPECT_EQ(!w.Destroyed_Scripts.empty() && w.Destroyed_Scripts.back() == script,
                      removed);
            EXPECT_EQ(w.Pending_Timers(), 0u);
            EXPECT_TRUE(w.Unexpected_Calls.empty());
        }
        EXPECT_EQ(Script_Blocks(), 0u) << "blocks left after the world went";
    }
}

} // namespace
