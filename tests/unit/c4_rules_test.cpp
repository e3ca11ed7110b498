// The C4 placement rules over small worlds: for each outcome the exact console line (or
// none) and the exact removal (or none), the precedence of the steps, the limits around
// their values, and the per-player counts behind them.
#include "rules/c4_rules.h"

#include "config/c4_rule_settings.h"
#include "rules/c4_counts.h"
#include "standin_test.h"

#include <functional>
#include <string>

namespace {

// Players: 5 and 7 on team 0, 6 on team 1.
class C4Rules : public StandinTest {
  protected:
    void SetUp() override {
        StandinTest::SetUp();
        Settings = new C4RuleSettings;
        ASSERT_NE(Settings, nullptr);
        Settings->PPAGE_Message.Assign("general");
        Settings->TimedC4Limit_Message.Assign("timed limit");
        Settings->RemoteC4Limit_Message.Assign("remote limit");
        Settings->TimedC4Stacked_Message.Assign("timed stacked");
        Settings->RemoteC4Stacked_Message.Assign("remote stacked");
        Settings->TimedC4Limit = Settings->RemoteC4Limit = 1;
        Settings->TimedC4Stacked = Settings->RemoteC4Stacked = 1;
        Set_Message_Flags();
        nod = world().Add_Soldier(0, 5);
        gdi = world().Add_Soldier(1, 6);
        mate = world().Add_Soldier(0, 7);
    }
    void TearDown() override {
        delete Settings;
        Settings = nullptr;
        StandinTest::TearDown();
    }

    struct Verdict {
        std::string page; // the one console line, empty for none
        bool removed;
    };

    // Judges one charge; only that charge may be removed and at most one line may reach
    // the console.
    static Verdict Judge(ServerObject charge) {
        standin::World& w = *standin::World::Current();
        w.Console_Lines.clear();
        w.Removed_Charges.clear();
        Check_C4_Placement(charge);
        EXPECT_LE(w.Console_Lines.size(), 1u);
        EXPECT_LE(w.Removed_Charges.size(), 1u);
        for (ServerObject removed : w.Removed_Charges)
            EXPECT_EQ(removed, charge) << "a charge other than the one judged was removed";
        EXPECT_TRUE(w.Unexpected_Calls.empty());
        return {w.Console_Lines.empty() ? "" : w.Console_Lines[0], !w.Removed_Charges.empty()};
    }

    // A world of its own for one case of a table, with the same three players.
    struct CaseWorld {
        standin::World world;
        ServerObject nod, gdi, mate;
        CaseWorld() {
            nod = world.Add_Soldier(0, 5);
            gdi = world.Add_Soldier(1, 6);
            mate = world.Add_Soldier(0, 7);
        }
    };

    ServerObject Empty_Vehicle(int32_t team) { return world().Add_Vehicle(team, 2); }

    ServerObject nod = nullptr, gdi = nullptr, mate = nullptr;
};

struct RuleCase {
    const char* name;
    std::function<ServerObject(standin::World&, ServerObject nod, ServerObject gdi,
                               ServerObject mate)>
        build; // returns the charge under examination
    const char* page;
    bool removed;
};

TEST_F(C4Rules, each_outcome_gives_its_page_and_removal) {
    const RuleCase cases[] = {
        {"protected object of the own team",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Timed, nod, w.Add_Object(0, "CnC_Nod_Obelisk", true));
         },
         "ppage 5 general", true},
        {"protected object of the opposing team stays",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Timed, nod, w.Add_Object(1, "CnC_GDI_AGT", true));
         },
         "", false},
        {"team 0 owner on its harvester, which reads the other team",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Remote, nod, w.Add_Object(1, "CnC_Nod_Harvester"));
         },
         "ppage 5 general", true},
        {"team 1 owner on its harvester",
         [](standin::World& w, ServerObject, ServerObject gdi, ServerObject) {
             return w.Add_Charge(C4_Remote, gdi, w.Add_Object(1, "CnC_GDI_Harvester"));
         },
         "ppage 6 general", true},
        {"team 1 owner on the other team's harvester",
         [](standin::World& w, ServerObject, ServerObject gdi, ServerObject) {
             return w.Add_Charge(C4_Remote, gdi, w.Add_Object(1, "CnC_Nod_Harvester"));
         },
         "", false},
        {"harvester name in another letter case",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Remote, nod, w.Add_Object(1, "cnc_nod_harvester"));
         },
         "", false},
        {"occupied vehicle with a team-mate in the first seat",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject mate) {
             ServerObject v = w.Add_Vehicle(0, 2);
             w.Seat(v, 0, mate);
             return w.Add_Charge(C4_Remote, nod, v);
         },
         "ppage 5 general", true},
        {"vehicle of team 0 driven by an enemy",
         [](standin::World& w, ServerObject nod, ServerObject gdi, ServerObject) {
             ServerObject v = w.Add_Vehicle(0, 2);
             w.Seat(v, 0, gdi);
             return w.Add_Charge(C4_Third, nod, v);
         },
         "", false},
        {"first seat empty, second taken: team 0 owner (empty seat reads team 0)",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject mate) {
             ServerObject v = w.Add_Vehicle(0, 2);
             w.Seat(v, 1, mate);
             return w.Add_Charge(C4_Remote, nod, v);
         },
         "ppage 5 general", true},
        {"first seat empty, second taken: team 1 owner",
         [](standin::World& w, ServerObject, ServerObject gdi, ServerObject) {
             ServerObject v = w.Add_Vehicle(1, 2);
             w.Seat(v, 1, w.Add_Soldier(1, 8));
             return w.Add_Charge(C4_Remote, gdi, v);
         },
         "", false},
        {"third kind on an empty friendly vehicle",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Third, nod, w.Add_Vehicle(0, 2));
         },
         "ppage 5 general", true},
        {"third kind on an empty vehicle of a team beyond 0 and 1",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Third, nod, w.Add_Vehicle(4, 2));
         },
         "ppage 5 general", true},
        {"third kind on an empty vehicle of the opposing team",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Third, nod, w.Add_Vehicle(1, 2));
         },
         "", false},
        {"third kind on a charge of its own team",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             ServerObject below = w.Add_Charge(C4_Third, nod, nullptr, 0);
             return w.Add_Charge(C4_Third, nod, below, 0);
         },
         "", false},
        {"first remote charge on an empty friendly vehicle (limit 1)",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Remote, nod, w.Add_Vehicle(0, 2));
         },
         "", false},
        {"second remote charge on empty friendly vehicles (limit 1)",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             w.Add_Charge(C4_Remote, nod, w.Add_Vehicle(0, 2));
             return w.Add_Charge(C4_Remote, nod, w.Add_Vehicle(0, 2));
         },
         "ppage 5 remote limit", true},
        {"second timed charge on empty friendly vehicles (limit 1)",
         [](standin::World& w, ServerObject, ServerObject gdi, ServerObject) {
             w.Add_Charge(C4_Timed, gdi, w.Add_Vehicle(1, 2));
             return w.Add_Charge(C4_Timed, gdi, w.Add_Vehicle(1, 0));
         },
         "ppage 6 timed limit", true},
        {"a charge of the other kind and another player's do not count",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject mate) {
             w.Add_Charge(C4_Timed, nod, w.Add_Vehicle(0, 2));
             w.Add_Charge(C4_Remote, mate, w.Add_Vehicle(0, 2));
             return w.Add_Charge(C4_Remote, nod, w.Add_Vehicle(0, 2));
         },
         "", false},
        {"second stacked remote charge (stacking limit 1)",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             ServerObject a = w.Add_Charge(C4_Remote, nod, w.Add_Object(0, "Wall"), 0);
             ServerObject b = w.Add_Charge(C4_Remote, nod, a, 0);
             return w.Add_Charge(C4_Remote, nod, b, 0);
         },
         "ppage 5 remote stacked", true},
        {"first stacked timed charge (stacking limit 1)",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             ServerObject a = w.Add_Charge(C4_Timed, nod, nullptr, 0);
             return w.Add_Charge(C4_Timed, nod, a, 0);
         },
         "", false},
        {"second stacked timed charge, the lower one a team-mate's",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject mate) {
             ServerObject a = w.Add_Charge(C4_Timed, mate, nullptr, 0);
             w.Add_Charge(C4_Timed, nod, a, 0);
             return w.Add_Charge(C4_Timed, nod, a, 0);
         },
         "ppage 5 timed stacked", true},
        {"stacked on a charge of the opposing team",
         [](standin::World& w, ServerObject nod, ServerObject gdi, ServerObject) {
             ServerObject a = w.Add_Charge(C4_Timed, gdi, nullptr, 1);
             w.Add_Charge(C4_Timed, nod, a, 1);
             return w.Add_Charge(C4_Timed, nod, a, 1);
         },
         "", false},
        {"stuck to nothing, team 0 owner",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Third, nod, nullptr);
         },
         "", false},
        {"stuck to nothing, team 1 owner",
         [](standin::World& w, ServerObject, ServerObject gdi, ServerObject) {
             return w.Add_Charge(C4_Third, gdi, nullptr);
         },
         "", false},
        {"an ordinary object of the opposing team",
         [](standin::World& w, ServerObject nod, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Third, nod, w.Add_Object(1, "CnC_GDI_Barracks"));
         },
         "", false},
        {"owner without a player is paged as -1",
         [](standin::World& w, ServerObject, ServerObject, ServerObject) {
             ServerObject nobody = w.Add_Soldier(0);
             return w.Add_Charge(C4_Third, nobody, w.Add_Vehicle(0, 1));
         },
         "ppage -1 general", true},
        {"charge without owner: team 0, player -1",
         [](standin::World& w, ServerObject, ServerObject, ServerObject) {
             return w.Add_Charge(C4_Remote, nullptr, w.Add_Object(0, "CnC_Nod_Harvester"));
         },
         "ppage -1 general", true},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        CaseWorld w;
        const Verdict verdict = Judge(c.build(w.world, w.nod, w.gdi, w.mate));
        EXPECT_EQ(verdict.page, c.page);
        EXPECT_EQ(verdict.removed, c.removed);
    }
}

TEST_F(C4Rules, an_earlier_step_wins_over_a_later_one) {
    // An empty friendly vehicle that the server protects: protection, not the limit.
    ServerObject protected_vehicle = world().Add_Vehicle(0, 2);
    world().Set_Protected_Target(protected_vehicle, true);
    world().Add_Charge(C4_Remote, nod, world().Add_Vehicle(0, 2));
    EXPECT_EQ(Judge(world().Add_Charge(C4_Remote, nod, protected_vehicle)).page, "ppage 5 general");

    // The own harvester as an empty vehicle: the harvester rule, not the limit.
    ServerObject harvester = world().Add_Vehicle(0, 1, "CnC_Nod_Harvester");
    EXPECT_EQ(Judge(world().Add_Charge(C4_Remote, nod, harvester)).page, "ppage 5 general");

    // An occupied vehicle is never judged as an empty one.
    Settings->RemoteC4Limit = -5;
    ServerObject occupied = world().Add_Vehicle(0, 2);
    world().Seat(occupied, 0, gdi);
    EXPECT_EQ(Judge(world().Add_Charge(C4_Remote, nod, occupied)).removed, false);

    // The empty-vehicle step ends the procedure: within its limit the charge stays, and
    // stacking is never looked at.
    Settings->RemoteC4Limit = 100;
    Settings->RemoteC4Stacked = -1;
    EXPECT_EQ(Judge(world().Add_Charge(C4_Remote, nod, world().Add_Vehicle(0, 2))).removed, false);
}

TEST_F(C4Rules, limits_around_their_value) {
    struct Case {
        int32_t limit;
        int already_placed;
        bool removed;
    } cases[] = {
        {2, 0, false}, {2, 1, false}, {2, 2, true},  {2, 3, true},
        {1, 0, false}, {0, 0, true},  {-1, 0, true},
    };
    for (C4Kind kind : {C4_Remote, C4_Timed}) {
        for (bool stacked : {false, true}) {
            for (const Case& c : cases) {
                SCOPED_TRACE(::testing::Message()
                             << "kind " << kind << (stacked ? " stacked" : "") << " limit "
                             << c.limit << " with " << c.already_placed << " placed");
                CaseWorld w;
                (kind == C4_Remote
                     ? (stacked ? Settings->RemoteC4Stacked : Settings->RemoteC4Limit)
                     : (stacked ? Settings->TimedC4Stacked : Settings->TimedC4Limit)) = c.limit;
                ServerObject base = w.world.Add_Charge(kind, w.nod, nullptr, 0);
                auto carrier = [&] { return stacked ? base : w.world.Add_Vehicle(0, 2); };
                for (int i = 0; i < c.already_placed; ++i)
                    w.world.Add_Charge(kind, w.nod, carrier(), 0);
                const Verdict verdict = Judge(w.world.Add_Charge(kind, w.nod, carrier(), 0));
                EXPECT_EQ(verdict.removed, c.removed);
                EXPECT_EQ(verdict.page.empty(), !c.removed);
            }
        }
    }
}

TEST_F(C4Rules, a_switched_off_page_still_removes) {
    Settings->TimedC4Limit_Message.Assign("-1");
    Settings->PPAGE_Message.Assign("-1 "); // not exactly "-1": still sent
    Set_Message_Flags();
    Settings->TimedC4Limit = 0;
    Verdict verdict = Judge(world().Add_Charge(C4_Timed, nod, Empty_Vehicle(0)));
    EXPECT_EQ(verdict.page, "");
    EXPECT_TRUE(verdict.removed);
    verdict = Judge(world().Add_Charge(C4_Third, nod, Empty_Vehicle(0)));
    EXPECT_EQ(verdict.page, "ppage 5 -1 ");
    EXPECT_TRUE(verdict.removed);
}

TEST_F(C4Rules, the_page_line_is_sent_up_to_255_characters_and_the_removal_happens_anyway) {
    for (size_t length : {247u, 248u, 600u}) {
        SCOPED_TRACE(length);
        const std::string message(length, 'm');
        Settings->PPAGE_Message.Assign(message.c_str());
        const Verdict verdict = Judge(world().Add_Charge(C4_Third, nod, Empty_Vehicle(0)));
        EXPECT_EQ(verdict.page, length == 247 ? "ppage 5 " + message : "");
        EXPECT_TRUE(verdict.removed);
    }
}

TEST_F(C4Rules, the_message_is_inserted_unchanged) {
    Settings->PPAGE_Message.Assign("100% no %s %d %n here");
    EXPECT_EQ(Judge(world().Add_Charge(C4_Third, nod, Empty_Vehicle(0))).page,
              "ppage 5 100% no %s %d %n here");
}

TEST_F(C4Rules, a_charge_that_is_gone_when_its_timer_fires_stays) {
    ServerObject charge = world().Add_Charge(C4_Third, nod, Empty_Vehicle(0));
    world().Kill(charge);
    const Verdict verdict = Judge(charge);
    EXPECT_EQ(verdict.page, "");
    EXPECT_FALSE(verdict.removed);
}

TEST_F(C4Rules, a_player_without_a_record_is_counted_as_team_0) {
    // Player 6 is on team 1; without the server's record the count reads team 0, whose
    // opposing team 1 owns the vehicle, so the charge there is not counted.
    Settings->TimedC4Limit = 0;
    world().Forget_Player(6);
    EXPECT_EQ(Count_Vehicle_Charges(6, C4_Timed), 0);
    EXPECT_FALSE(Judge(world().Add_Charge(C4_Timed, gdi, Empty_Vehicle(1))).removed);
}

TEST_F(C4Rules, no_judgement_before_the_settings_exist) {
    delete Settings;
    Settings = nullptr;
    EXPECT_FALSE(Judge(world().Add_Charge(C4_Third, nod, Empty_Vehicle(0))).removed);
}

using C4Counts = C4Rules;

TEST_F(C4Counts, vehicle_charges_count_only_on_empty_non_opposing_vehicles) {
    ServerObject occupied = world().Add_Vehicle(0, 1);
    world().Seat(occupied, 0, mate);
    world().Add_Charge(C4_Remote, nod, Empty_Vehicle(0));      // counts
    world().Add_Charge(C4_Remote, nod, Empty_Vehicle(3));      // counts: team 3 opposes no one
    world().Add_Charge(C4_Remote, nod, Empty_Vehicle(1));      // opposing team
    world().Add_Charge(C4_Remote, nod, occupied);              // occupied
    world().Add_Charge(C4_Remote, nod, nullptr);               // stuck to nothing
    world().Add_Charge(C4_Remote, nod, world().Add_Object(0)); // no vehicle
    world().Add_Charge(C4_Timed, nod, Empty_Vehicle(0));       // other kind
    world().Add_Charge(C4_Remote, mate, Empty_Vehicle(0));     // other player
    ServerObject dead = world().Add_Charge(C4_Remote, nod, Empty_Vehicle(0));
    world().Kill(dead);
    EXPECT_EQ(Count_Vehicle_Charges(5, C4_Remote), 2);
    EXPECT_EQ(Count_Vehicle_Charges(5, C4_Timed), 1);
    EXPECT_EQ(Count_Vehicle_Charges(7, C4_Remote), 1);
    EXPECT_EQ(Count_Vehicle_Charges(6, C4_Remote), 0);
}

TEST_F(C4Counts, a_chain_of_three_stacked_charges_counts_two) {
    ServerObject first = world().Add_Charge(C4_Remote, nod, world().Add_Object(0, "Wall"), 0);
    ServerObject second = world().Add_Charge(C4_Remote, nod, first, 0);
    world().Add_Charge(C4_Remote, nod, second, 0);
    EXPECT_EQ(Count_Stacked_Charges(5, C4_Remote), 2);
    EXPECT_EQ(Count_Stacked_Charges(5, C4_Timed), 0);
}

TEST_F(C4Counts, a_charge_on_a_team_mates_charge_counts_for_its_own_owner) {
    ServerObject lower = world().Add_Charge(C4_Remote, mate, nullptr, 0);
    world().Add_Charge(C4_Remote, nod, lower, 0);
    EXPECT_EQ(Count_Stacked_Charges(5, C4_Remote), 1);
    EXPECT_EQ(Count_Stacked_Charges(7, C4_Remote), 0);
}

TEST_F(C4Counts, an_empty_list_counts_nothing) {
    standin::World empty;
    ASSERT_TRUE(empty.Listed_Objects().empty());
    EXPECT_EQ(Count_Vehicle_Charges(5, C4_Remote), 0);
    EXPECT_EQ(Count_Stacked_Charges(5, C4_Remote), 0);
}

} // namespace
