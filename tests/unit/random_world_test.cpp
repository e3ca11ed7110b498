// Judgements in worlds built at random (with fixed seeds) from everything a server may
// hand the plugin: dead and unlisted objects, null links and links that name nothing,
// teams far from 0 and 1, vehicles without seats, charges on charges, players the server
// no longer knows, observers with odd names, and settings at their extremes. Whatever
// the world, a judgement must not crash, may remove only the charge it judges, pages at
// most once and only with a line the console takes, and calls nothing the server does not
// serve.
#include "config/c4_rule_settings.h"
#include "rules/c4_rules.h"
#include "rules/watch_script.h"
#include "scripts/script_registry.h"
#include "standin_test.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// Each seed is a test of its own, in a fresh stand-in.
class RandomWorld : public StandinTest, public ::testing::WithParamInterface<unsigned> {
  protected:
    void TearDown() override {
        delete Settings;
        Settings = nullptr;
        StandinTest::TearDown();
    }

    int Below(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
    bool One_In(int n) { return Below(n) == 0; }
    template <class T> T Pick(const std::vector<T>& from) {
        return from[static_cast<size_t>(Below(static_cast<int>(from.size())))];
    }
    int32_t Any_Team() { return Pick<int32_t>({0, 1, 0, 1, -1, 2, 7, INT_MIN, INT_MAX}); }
    ServerObject Any_Object_Or_None() {
        return objects_.empty() || One_In(4) ? nullptr : Pick(objects_);
    }

    std::string Odd_Text(size_t longest) {
        switch (Below(7)) {
        case 0:
            return "";
        case 1:
            return "-1";
        case 2:
            return "%s%n%d%%";
        case 3:
            return std::string(static_cast<size_t>(Below(static_cast<int>(longest) + 1)), 'x');
        case 4:
            return std::string(longest, 'y');
        case 5:
            return "\xc4\xe9\xff\x80 page";
        default:
            return "Do not C4 that!";
        }
    }

    // One world of about `size` objects, built from the seed, with a settings record.
    void Build(unsigned seed, int size) {
        random_.seed(seed);
        objects_.clear();
        charges_.clear();
        std::vector<PlayerId> players;
        for (int i = 0; i < 6; ++i) {
            const PlayerId id = Pick<PlayerId>({0, 1, 2, 3, 17, -1, -7, INT_MAX});
            if (!world().Player_Record(id) && id != No_Player)
                world().Add_Player(id, Any_Team());
            players.push_back(id);
        }
        for (int i = 0; i < size; ++i) {
            ServerObject object = nullptr;
            switch (Below(5)) {
            case 0:
                object = world().Add_Soldier(Any_Team(), Pick(players));
                break;
            case 1: {
                const int32_t seats = Pick<int32_t>({-3, -1, 0, 1, 2, 5});
                object = world().Add_Vehicle(
                    Any_Team(), seats,
                    Pick<std::string>({"", "CnC_Nod_Harvester", "CnC_GDI_Harvester"}));
                for (int seat = 0; seat < seats; ++seat)
                    if (One_In(2))
                        world().Seat(object, seat, Any_Object_Or_None());
                if (seats > 1 && One_In(3))
                    world().Set_Seat_Count(object, Pick<int32_t>({0, -1, seats - 1}));
                break;
            }
            case 2:
                object = world().Add_Object(
                    Any_Team(),
                    Pick<std::string>({"", "CnC_Nod_Harvester", "CnC_GDI_Harvester",
                                       "cnc_nod_harvester", "CnC_Nod_Harvester ", "Building"}),
                    One_In(3));
                break;
            default: {
                const C4Kind kind = Pick<C4Kind>({1, 2, 3, 1, 2, 3, 0, -1, 4, INT_MAX});
                object = world().Add_Charge(kind, Any_Object_Or_None(), Any_Object_Or_None(),
                                            Any_Team());
                if (One_In(8))
                    world().Set_Owner_Link_Empty(object);
                if (One_In(8))
                    world().Set_Carrier_Link_Empty(object);
                charges_.push_back(object);
                break;
            }
            }
            if (One_In(6))
                world().Add_Observer(
                    object,
                    Pick<std::string>({"", "Brask_Tarnwick", "BRASK_TARNWICK", "Brask_Tarnwic",
                                       "\xff\xfe", std::string(300, 'B')}));
            if (One_In(10))
                world().Drop_Team_Part(object);
            if (One_In(8))
                world().Kill(object);
            else if (One_In(12))
                world().Unlist(object);
            objects_.push_back(object);
        }
        for (PlayerId id : players)
            if (One_In(4))
                world().Forget_Player(id);

        Settings = new C4RuleSettings;
        C4RuleSettings& s = *Settings;
        for (int32_t* limit :
             {&s.TimedC4Limit, &s.RemoteC4Limit, &s.TimedC4Stacked, &s.RemoteC4Stacked})
            *limit = Pick<int32_t>({INT_MIN, -1, 0, 1, 2, 3, INT_MAX});
        s.ActivationWaitTime = Pick<int32_t>({-5, 0, 1, 3});
        for (Text* message : Messages())
            message->Assign(Odd_Text(499).c_str());
        Set_Message_Flags();
    }

    std::vector<Text*> Messages() {
        C4RuleSettings& s = *Settings;
        return {&s.PPAGE_Message, &s.TimedC4Limit_Message, &s.RemoteC4Limit_Message,
                &s.TimedC4Stacked_Message, &s.RemoteC4Stacked_Message};
    }

    // "ppage <id> <one of the five texts>", within the console's 255 characters.
    ::testing::AssertionResult Is_Page_Line(const std::string& line) {
        if (line.size() > 255)
            return ::testing::AssertionFailure() << "line of " << line.size() << " characters";
        if (line.compare(0, 6, "ppage ") != 0)
            return ::testing::AssertionFailure() << "not a page: " << line;
        char* end = nullptr;
        std::strtol(line.c_str() + 6, &end, 10);
        if (end == line.c_str() + 6 || *end != ' ')
            return ::testing::AssertionFailure() << "no player id: " << line;
        const std::string text(end + 1);
        for (Text* message : Messages())
            if (text == message->Chars())
                return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "a text not among the settings: " << line;
    }

    std::mt19937 random_;
    std::vector<ServerObject> objects_;
    std::vector<ServerObject> charges_;
};

TEST_P(RandomWorld, each_judgement_removes_at_most_its_own_charge_and_pages_at_most_once) {
    Build(GetParam(), 60);
    for (size_t i = 0; i < charges_.size(); ++i) {
        SCOPED_TRACE("charge " + std::to_string(i));
        const ServerObject charge = charges_[i];
        const size_t removed = world().Removed_Charges.size();
        const size_t lines = world().Console_Lines.size();

        Check_C4_Placement(charge);

        const size_t new_removals = world().Removed_Charges.size() - removed;
        const size_t new_lines = world().Console_Lines.size() - lines;
        ASSERT_LE(new_removals, 1u);
        if (new_removals == 1) {
            ASSERT_EQ(world().Removed_Charges.back(), charge) << "another charge removed";
        }
        ASSERT_LE(new_lines, 1u);
        if (new_lines == 1) {
            ASSERT_TRUE(Is_Page_Line(world().Console_Lines.back()));
            ASSERT_EQ(new_removals, 1u) << "paged, but the charge stayed";
        }
        ASSERT_TRUE(world().Unexpected_Calls.empty())
            << world().Unexpected_Calls.front().Where << " slot "
            << world().Unexpected_Calls.front().Slot;
        ASSERT_TRUE(standin::Trap_Calls().empty()) << standin::Trap_Calls().front();
    }
}

// The whole road: the hook sees every object as it would be created, and the watch
// scripts' timers then fire and judge. Only live charges get the script, at most one
// each, and only charges that carry one are removed.
TEST_P(RandomWorld, the_hook_watches_only_live_charges_and_their_timers_judge_them) {
    world().Use_Script_Library(&Create_Script);
    Build(GetParam(), 60);
    for (ServerObject object : objects_) {
        Watch_New_Object(nullptr, object);
        Watch_New_Object(nullptr, object); // a second hook, as after a second plugin start
    }
    std::vector<ServerObject> watched;
    for (const standin::AttachRequest& request : world().Attach_Requests) {
        const standin::ObjectInfo& info = world().Info(request.Object);
        EXPECT_TRUE(info.Alive && info.Charge) << "a script for no live charge";
        EXPECT_EQ(request.Name, "Brask_Tarnwick");
        EXPECT_EQ(std::count(watched.begin(), watched.end(), request.Object), 0)
            << "a second script for one charge";
        watched.push_back(request.Object);
    }

    world().Advance_Clock(std::max(Settings->ActivationWaitTime, 0) + 1.0);
    for (ServerObject removed : world().Removed_Charges)
        EXPECT_EQ(std::count(watched.begin(), watched.end(), removed), 1)
            << "a charge removed that had no watch script";
    EXPECT_LE(world().Console_Lines.size(), world().Removed_Charges.size());
    for (const std::string& line : world().Console_Lines)
        EXPECT_TRUE(Is_Page_Line(line));
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomWorld, ::testing::Range(1u, 41u));

} // namespace
