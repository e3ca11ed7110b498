// Matches played on the plugin's own code through the simulator's engine: the timeline's
// facts, how each rule is told, expectations met and failed, and the play command's
// answers to bad input.
#include "sim/commands.h"
#include "sim/match.h"
#include "tests/sim/in_process_source.h"

#include "platform/message_box_posix.h"
#include "standin/message_boxes.h"

#include <gmock/gmock.h>

#include <fstream>
#include <map>
#include <sstream>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

class MatchTest : public ::testing::Test {
  protected:
    void SetUp() override { Set_Message_Box_Handler(&standin::Record_Message_Box); }
    void TearDown() override { Set_Message_Box_Handler(nullptr); }

    // Plays a scenario written here; the events by type, in order.
    sim::MatchResult Play(const std::string& text, const sim::MatchOptions& options = {}) {
        std::istringstream in(text);
        const auto errors = sim::Parse_Scenario(in, "test.scenario", scenario_);
        EXPECT_TRUE(errors.empty()) << errors.front().Text;
        events_.clear();
        return sim::Play_Match(scenario_, plugin_, options,
                               [this](const sim::Event& e) { events_.push_back(e); });
    }

    std::vector<sim::Event> Of_Type(const std::string& type) const {
        std::vector<sim::Event> found;
        for (const sim::Event& e : events_)
            if (e.Type == type)
                found.push_back(e);
        return found;
    }

    // A field of an event, as its JSON text.
    static std::string Field(const sim::Event& e, const std::string& name) {
        for (const sim::Field& f : e.Fields)
            if (f.Name == name)
                return f.Json;
        return "";
    }

    // charge: "removed by RULE" or "stays", and the pages of its judgement.
    std::map<std::string, std::string> Verdicts() const {
        std::map<std::string, std::string> verdicts;
        for (const sim::Event& e : Of_Type("judged"))
            verdicts[Field(e, "charge").substr(1, Field(e, "charge").size() - 2)] =
                (Field(e, "removed") == "true" ? "removed by " + Field(e, "rule") : "stays") + " " +
                Field(e, "pages");
        return verdicts;
    }

    InProcessSource plugin_;
    sim::Scenario scenario_;
    std::vector<sim::Event> events_;
};

const char* const Messages = "ini [General]\n"
                             "ini PPAGE_Message=general\n"
                             "ini RemoteC4Limit_Message=remote limit\n"
                             "ini TimedC4Limit_Message=timed limit\n"
                             "ini RemoteC4Stacked_Message=remote stacked\n"
                             "ini TimedC4Stacked_Message=timed stacked\n";

} // namespace

TEST_F(MatchTest, every_rule_is_told_from_the_page_and_the_world) {
    const sim::MatchResult result = Play(std::string(Messages) + "player rex id 5 team 0\n"
                                                                 "player bo id 6 team 0\n"
                                                                 "harvester harv team 0\n"
                                                                 "object hand team 0 protected\n"
                                                                 "vehicle tank team 0 seats 2\n"
                                                                 "vehicle buggy team 0 seats 1\n"
                                                                 "vehicle bike team 0 seats 1\n"
                                                                 "object wall team 2\n"
                                                                 "board bo tank\n"
                                                                 "charge a rex remote on harv\n"
                                                                 "charge b rex remote on hand\n"
                                                                 "charge c rex remote on tank\n"
                                                                 "charge d rex proximity on buggy\n"
                                                                 "charge e rex remote on buggy\n"
                                                                 "charge f rex timed on wall\n"
                                                                 "charge g rex timed on f\n"
                                                                 "wait 2\n"
                                                                 "charge h rex remote on bike\n"
                                                                 "charge i rex timed on g\n"
                                                                 "charge j rex timed on nothing\n");
    ASSERT_TRUE(result.Played) << result.Error;
    EXPECT_EQ(result.Health_Problems, 0u);
    EXPECT_THAT(Verdicts(),
                ElementsAre(std::pair<const std::string, std::string>(
                                "a", "removed by \"own-harvester\" [\"ppage 5 general\"]"),
                            std::pair<const std::string, std::string>(
                                "b", "removed by \"protected-object\" [\"ppage 5 general\"]"),
                            std::pair<const std::string, std::string>(
                                "c", "removed by \"occupied-vehicle\" [\"ppage 5 general\"]"),
                            std::pair<const std::string, std::string>(
                                "d", "removed by \"proximity-on-vehicle\" [\"ppage 5 general\"]"),
                            std::pair<const std::string, std::string>("e", "stays []"),
                            std::pair<const std::string, std::string>("f", "stays []"),
                            std::pair<const std::string, std::string>("g", "stays []"),
                            std::pair<const std::string, std::string>(
                                "h", "removed by \"RemoteC4Limit\" [\"ppage 5 remote limit\"]"),
                            std::pair<const std::string, std::string>(
                                "i", "removed by \"TimedC4Stacked\" [\"ppage 5 timed stacked\"]"),
                            std::pair<const std::string, std::string>("j", "stays []")));
    // Each judgement at the end of its own wait (ActivationWaitTime 1).
    std::vector<double> times;
    for (const sim::Event& e : Of_Type("judged"))
        times.push_back(e.Time);
    EXPECT_THAT(times, ElementsAre(1, 1, 1, 1, 1, 1, 1, 3, 3, 3));
    const sim::Event limit = Of_Type("judged")[7];
    EXPECT_THAT(limit.Text,
                HasSubstr("2 remote charges of 'rex' on such vehicles, RemoteC4Limit 1"));
    EXPECT_THAT(limit.Text, HasSubstr("rule from the page text (RemoteC4Limit_Message)"));
    EXPECT_THAT(Of_Type("judged")[0].Text,
                HasSubstr("rule from the page text (PPAGE_Message) and the world"));
    EXPECT_THAT(Of_Type("log").at(0).Text,
                HasSubstr("_GENERAL New settings detected and loaded from tarnwick.ini!"));
}

TEST_F(MatchTest, without_a_page_the_world_tells_the_rule_and_the_timeline_says_why_none_came) {
    const std::string world = "player rex id 1234 team 1\n"
                              "vehicle v1 team 1 seats 1\n"
                              "vehicle v2 team 1 seats 1\n"
                              "harvester h team 1\n"
                              "charge c1 rex timed on v1\n"
                              "wait 1\n"
                              "charge c2 rex timed on v2\n"
                              "charge c3 rex remote on h\n";
    struct Row {
        const char* Name;
        std::string Settings;
        const char* Silence;
    };
    for (const Row& row :
         {Row{"switched off", "ini [General]\nini TimedC4Limit_Message=-1\nini PPAGE_Message=-1\n",
              "TimedC4Limit_Message is -1: its page is switched off"},
          Row{"too long",
              "ini [General]\nini TimedC4Limit_Message=" + std::string(245, 't') +
                  "\nini PPAGE_Message=" + std::string(245, 'p') + "\n",
              "the page line would be 256 characters, more than the console's 255"}}) {
        SCOPED_TRACE(row.Name);
        ASSERT_TRUE(Play(row.Settings + world).Played);
        const std::vector<sim::Event> judged = Of_Type("judged");
        ASSERT_EQ(judged.size(), 3u);
        EXPECT_EQ(Field(judged[1], "rule"), "\"TimedC4Limit\"");
        EXPECT_EQ(Field(judged[2], "rule"), "\"own-harvester\"");
        EXPECT_THAT(judged[1].Text, HasSubstr("rule from the world (no page was sent)"));
        EXPECT_THAT(judged[1].Text, HasSubstr("no page: " + std::string(row.Silence)));
        EXPECT_EQ(Field(judged[1], "pages"), "[]");
    }
}

TEST_F(MatchTest, a_text_shared_by_two_keys_leaves_the_rule_to_the_world) {
    ASSERT_TRUE(Play("ini [General]\n"
                     "ini PPAGE_Message=no\n"
                     "ini RemoteC4Limit_Message=no\n"
                     "player rex id 5 team 0\n"
                     "vehicle v1 team 0 seats 1\n"
                     "vehicle v2 team 0 seats 1\n"
                     "charge c1 rex remote on v1\n"
                     "wait 1\n"
                     "charge c2 rex remote on v2\n")
                    .Played);
    const sim::Event c2 = Of_Type("judged").at(1);
    EXPECT_EQ(Field(c2, "rule"), "\"RemoteC4Limit\"");
    EXPECT_THAT(c2.Text, HasSubstr("rule from the world (the page text is that of PPAGE_Message "
                                   "and RemoteC4Limit_Message)"));
}

TEST_F(MatchTest, expectations_are_checked_and_a_failed_one_says_where_what_and_what_was_seen) {
    const sim::MatchResult result =
        Play(std::string(Messages) + "player rex id 5 team 0\n" // line 7
                                     "harvester h team 0\n"
                                     "object o team 1\n"
                                     "charge c1 rex remote on h\n" // line 10
                                     "charge c2 rex remote on o\n"
                                     "charge c3 rex remote on nothing\n"
                                     "expect removed c1 by own-harvester\n"
                                     "expect removed c2\n"                  // line 14: wrong
                                     "expect stays c1\n"                    // line 15: wrong
                                     "expect removed c1 by RemoteC4Limit\n" // line 16: wrong
                                     "expect page \"ppage 5 general\"\n"
                                     "expect page \"ppage 5 general\"\n" // line 18: only one
                                     "expect pages 2\n"                  // line 19: wrong
                                     "expect stays c3\n");
    ASSERT_TRUE(result.Played);
    EXPECT_EQ(result.Expectations, 8u);
    EXPECT_EQ(result.Failed_Expectations, 5u);
    EXPECT_EQ(sim::Exit_Code(result), 1);
    std::vector<std::string> failed;
    for (const sim::Event& e : Of_Type("expectation"))
        if (Field(e, "met") == "false")
            failed.push_back(e.Text);
    EXPECT_THAT(failed, ElementsAre("test.scenario:14: expectation FAILED\n"
                                    "expected: 'c2' removed\n"
                                    "seen:     'c2' stayed (on 'o', which is the opposing team's)",
                                    "test.scenario:15: expectation FAILED\n"
                                    "expected: 'c1' stays\n"
                                    "seen:     'c1' removed by own-harvester (on 'h', the owner's "
                                    "team's harvester (CnC_Nod_Harvester))",
                                    HasSubstr("test.scenario:16: expectation FAILED\n"
                                              "expected: 'c1' removed by RemoteC4Limit\n"),
                                    "test.scenario:18: expectation FAILED\n"
                                    "expected: the page \"ppage 5 general\"\n"
                                    "seen:     1 page\n"
                                    "  \"ppage 5 general\"",
                                    HasSubstr("test.scenario:19: expectation FAILED\n"
                                              "expected: 2 pages\n"
                                              "seen:     1 page")));
    EXPECT_THAT(Of_Type("summary").at(0).Text, HasSubstr("3 of 8 expectations met"));
}

TEST_F(MatchTest, after_the_last_step_the_clock_runs_on_until_every_charge_is_judged) {
    ASSERT_TRUE(Play("ini [General]\nini ActivationWaitTime=86400\n"
                     "player rex id 5 team 0\ncharge c rex remote on nothing\n"
                     "expect stays c\n")
                    .Played);
    EXPECT_EQ(Of_Type("judged").at(0).Time, 86400);
    EXPECT_EQ(Field(Of_Type("expectation").at(0), "met"), "true");
}

TEST_F(MatchTest, the_settings_file_and_section_of_the_command_line_win_over_the_scenarios) {
    const std::string path = testing::TempDir() + "tarnwick-sim-test.ini";
    std::ofstream(path) << "[General]\nActivationWaitTime=5\n[Field]\nActivationWaitTime=3\n";
    sim::MatchOptions options;
    options.Settings_File = path;
    options.Has_Section = true;
    options.Section = "field";
    ASSERT_TRUE(Play("ini [General]\nini ActivationWaitTime=9\nsection Hourglass\n"
                     "player rex id 5 team 0\ncharge c rex remote on nothing\n",
                     options)
                    .Played);
    EXPECT_EQ(Of_Type("judged").at(0).Time, 3);
    EXPECT_THAT(Of_Type("settings").at(0).Text, HasSubstr("override section [field]"));
    std::remove(path.c_str());

    options.Settings_File = "no/such.ini";
    const sim::MatchResult missing = Play("player rex id 5 team 0\n", options);
    EXPECT_FALSE(missing.Played);
    EXPECT_EQ(sim::Exit_Code(missing), 2);
    EXPECT_THAT(missing.Error, HasSubstr("no/such.ini: cannot be read"));
}

TEST_F(MatchTest, json_lines_carry_one_event_each) {
    std::istringstream in("player rex id 5 team 0\ncharge c rex remote on nothing\n");
    ASSERT_TRUE(sim::Parse_Scenario(in, "j.scenario", scenario_).empty());
    std::ostringstream out;
    sim::Play_Match(scenario_, plugin_, {}, [&](const sim::Event& e) { sim::Print_Json(out, e); });
    std::vector<std::string> types;
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.front(), '{');
        ASSERT_EQ(line.back(), '}');
        types.push_back(line.substr(0, line.find(',')));
    }
    EXPECT_THAT(types, testing::Contains("{\"event\":\"judged\""));
    EXPECT_EQ(types.back(), "{\"event\":\"summary\"");
    EXPECT_THAT(out.str(), HasSubstr("\"charge\":\"c\",\"removed\":false"));
}

TEST(PlayCommand, a_scenario_with_errors_is_not_played_and_each_error_names_its_line) {
    const std::string path = testing::TempDir() + "tarnwick-sim-bad.scenario";
    std::ofstream(path) << "player rex id 5 team 0\nvehicle tank team 0 seats 2\n"
                           "board rex tank seat 3\ncharge c rex remote on bunker\n";
    InProcessSource plugin;
    std::ostringstream out, err;
    EXPECT_EQ(sim::Play_Command(path, plugin, {}, false, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_THAT(err.str(),
                HasSubstr(path + ":3: vehicle 'tank' has 2 seats, so there is no seat 3"));
    EXPECT_THAT(err.str(), HasSubstr(path + ":4: no thing named 'bunker'"));
    EXPECT_THAT(err.str(), HasSubstr("2 errors: not played"));
    std::remove(path.c_str());
}

TEST(PlayCommand, bad_arguments_get_the_usage_and_exit_2) {
    struct Row {
        std::vector<const char*> Args;
        const char* Message;
    };
    for (const Row& row :
         {Row{{"tarnwick-sim"}, "usage:"}, Row{{"tarnwick-sim", "fly"}, "unknown command 'fly'"},
          Row{{"tarnwick-sim", "play"}, "play needs a scenario"},
          Row{{"tarnwick-sim", "play", "a", "--ini"}, "--ini needs a value"},
          Row{{"tarnwick-sim", "check", "a", "--json"}, "unexpected '--json'"}}) {
        SCOPED_TRACE(row.Message);
        std::ostringstream out, err;
        EXPECT_EQ(sim::Main(static_cast<int>(row.Args.size()), row.Args.data(), out, err), 2);
        EXPECT_THAT(err.str(), HasSubstr(row.Message));
    }
}

namespace {

// A plugin that refuses the server's command table, and tells whether it was unloaded.
bool refusing_plugin_unloaded = false;

class RefusingSource : public sim::PluginSource {
  public:
    bool Load(std::string&) override {
        exports_.Create_Script = [](const char*) -> ScriptClass* { return nullptr; };
        exports_.Check_Version = [](uint32_t, void*) { return true; };
        exports_.Plugin_Load = [](void*, PluginHostSettings*, PluginHostContext*, uint32_t, void*) {
        };
        exports_.Plugin_Unload = [] { refusing_plugin_unloaded = true; };
        exports_.Set_Request_Destroy_Func = [](Request_Destroy_Fn) {};
        exports_.Set_Script_Commands = [](ScriptCommands*) { return false; };
        return true;
    }
    void Unload() override {}
    std::string Description() const override { return "a refusing plugin"; }
};

} // namespace

TEST(PlayMatch, a_plugin_that_refuses_the_command_table_is_unloaded_and_nothing_is_played) {
    sim::Scenario scenario;
    std::istringstream in("player rex id 5 team 0\ncharge c rex remote on nothing\n");
    ASSERT_TRUE(sim::Parse_Scenario(in, "r.scenario", scenario).empty());
    RefusingSource plugin;
    refusing_plugin_unloaded = false;
    std::vector<std::string> types;
    const sim::MatchResult result = sim::Play_Match(
        scenario, plugin, {}, [&](const sim::Event& e) { types.push_back(e.Type); });
    EXPECT_FALSE(result.Played);
    EXPECT_EQ(sim::Exit_Code(result), 2);
    EXPECT_EQ(result.Error, "the plugin refused the server's command table");
    EXPECT_TRUE(refusing_plugin_unloaded);
    EXPECT_EQ(types.back(), "error");
    EXPECT_THAT(types, testing::Not(testing::Contains("placed")));
}
