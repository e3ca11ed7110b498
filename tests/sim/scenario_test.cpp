// Reading scenarios: what a good one becomes, and a clear message with its line for every
// kind of mistake an operator makes.
#include "sim/scenario.h"

#include <gmock/gmock.h>

#include <sstream>

using ::testing::HasSubstr;

namespace {

std::vector<sim::ScenarioError> Parse(const std::string& text, sim::Scenario& scenario) {
    std::istringstream in(text);
    return sim::Parse_Scenario(in, "match.scenario", scenario);
}

} // namespace

TEST(Scenario, a_scenario_becomes_its_things_steps_and_expectations) {
    sim::Scenario s;
    const auto errors = Parse("# a comment line\n"
                              "settings ../tarnwick.ini\n"
                              "section \"C&C Field\"\n"
                              "player rex id 5 team nod   # trailing comment\n"
                              "vehicle apc team 1 seats 4 preset GDI_APC protected\n"
                              "harvester h team gdi\n"
                              "object wall team 2\n"
                              "board rex apc seat 3\n"
                              "charge c1 rex remote on apc\n"
                              "wait 1.5\n"
                              "charge c2 nobody proximity on c1\n"
                              "at 4\n"
                              "leave rex\n"
                              "charge c3 rex timed on nothing\n"
                              "expect removed c1 by remotec4limit\n"
                              "expect stays c2\n"
                              "expect page \"ppage 5 a \\\"quoted\\\" # text\"\n"
                              "expect pages 2\n",
                              s);
    ASSERT_TRUE(errors.empty()) << errors.front().Text;
    EXPECT_EQ(s.Settings_File, "../tarnwick.ini");
    EXPECT_EQ(s.Section, "C&C Field");

    const sim::Thing* apc = s.Find("apc");
    ASSERT_NE(apc, nullptr);
    EXPECT_EQ(apc->Team, 1);
    EXPECT_EQ(apc->Seats, 4);
    EXPECT_EQ(apc->Preset, "GDI_APC");
    EXPECT_TRUE(apc->Protected);
    EXPECT_EQ(s.Find("h")->Preset, "CnC_GDI_Harvester");
    EXPECT_EQ(s.Find("rex")->Id, 5);
    EXPECT_EQ(s.Find("rex")->Team, 0);
    EXPECT_EQ(s.Find("c1")->Team, 0) << "a charge reads its owner's team";
    EXPECT_EQ(s.Find("c2")->Owner, "");
    EXPECT_EQ(s.Find("c2")->Kind_Of_Charge, C4_Third);
    EXPECT_EQ(s.Find("c2")->Target, "c1");
    EXPECT_EQ(s.Find("c3")->Target, "");

    // The steps in file order, with the seat counted from 0 and times absolute.
    std::vector<std::string> steps;
    for (const sim::Step& step : s.Steps)
        steps.push_back(step.Kind == sim::StepKind::Until ? "until " + std::to_string(step.Time)
                        : step.Kind == sim::StepKind::Board
                            ? "board " + step.Name + " " + std::to_string(step.Seat)
                            : step.Name);
    EXPECT_THAT(steps, testing::ElementsAre("rex", "apc", "h", "wall", "board rex 2", "c1",
                                            "until 1.500000", "c2", "until 4.000000", "rex", "c3"));
    ASSERT_EQ(s.Expectations.size(), 4u);
    EXPECT_EQ(s.Expectations[0].By, sim::Rule::Remote_Limit);
    EXPECT_EQ(s.Expectations[0].At.Line, 15u);
    EXPECT_EQ(s.Expectations[2].Line, "ppage 5 a \"quoted\" # text");
    EXPECT_EQ(s.Expectations[3].Count, 2u);
}

TEST(Scenario, ini_lines_are_taken_as_written) {
    sim::Scenario s;
    const auto errors = Parse("ini [General]\n"
                              "ini PPAGE_Message=No C4 here! # not a comment\n"
                              "  ini   \n",
                              s);
    ASSERT_TRUE(errors.empty()) << errors.front().Text;
    EXPECT_TRUE(s.Inline_Settings);
    EXPECT_THAT(s.Ini_Lines,
                testing::ElementsAre("[General]", "PPAGE_Message=No C4 here! # not a comment", ""));
}

TEST(Scenario, each_mistake_is_reported_with_its_line) {
    struct Row {
        const char* Name;
        const char* Text; // the mistake is on its last line
        const char* Message;
    };
    const std::string world = "player rex id 5 team 0\n"
                              "player ann id 6 team 1\n"
                              "vehicle tank team 0 seats 2\n"
                              "board ann tank seat 1\n";
    const Row rows[] = {
        {"unknown word", "vehicel x team 0 seats 1", "unknown word 'vehicel'"},
        {"missing team", "player bo id 7", "needs a team"},
        {"missing id", "player bo team 0", "needs an id"},
        {"missing seats", "vehicle v team 0", "needs its number of seats"},
        {"missing value", "player bo id", "missing the player id"},
        {"team not a number", "object o team blue", "a team (or nod, gdi) must be a whole number"},
        {"duplicate name", "object rex team 0",
         "the name 'rex' is taken (defined at match.scenario:1)"},
        {"duplicate player id", "player bo id 5 team 0", "player id 5 is taken by 'rex'"},
        {"charge on undefined object", "charge c rex remote on bunker",
         "no thing named 'bunker' is defined before this line"},
        {"charge of undefined owner", "charge c zed remote on tank", "no player named 'zed'"},
        {"unknown kind", "charge c rex sticky on tank", "unknown kind of charge 'sticky'"},
        {"missing 'on'", "charge c rex remote tank", "expected 'on' instead of 'tank'"},
        {"seat beyond the seats", "board rex tank seat 3", "has 2 seats, so there is no seat 3"},
        {"seat taken", "board rex tank seat 1", "seat 1 of 'tank' is taken by 'ann'"},
        {"already aboard", "board ann tank seat 2", "'ann' already sits in 'tank'"},
        {"board a non-vehicle", "board rex ann", "'ann' is not a vehicle"},
        {"leave when not aboard", "leave rex", "'rex' sits in no vehicle"},
        {"clock going back", "at 5\nat 4", "the clock cannot go back"},
        {"negative wait", "wait -1", "a time must be a number of seconds"},
        {"unknown rule", "charge c rex remote on tank\nexpect removed c by magic",
         "unknown rule 'magic'"},
        {"expectation on a non-charge", "expect stays tank", "'tank' is not a charge"},
        {"page without quotes", "expect page ppage 5 x", "expect page needs the line in quotes"},
        {"unclosed quote", "expect page \"ppage 5 x", "without its closing \""},
        {"extra words", "leave ann now", "unexpected 'now' at the end of the line"},
        {"two kinds of settings", "settings a.ini\nini [General]", "come from a file already"},
        {"harvester of a third team", "harvester h team 2", "needs its preset"},
        {"reserved name", "object nothing team 0", "'nothing' cannot be a name"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        const std::string text = world + row.Text + "\n";
        sim::Scenario s;
        const auto errors = Parse(text, s);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_THAT(errors[0].Text, HasSubstr(row.Message));
        EXPECT_EQ(errors[0].At.Line,
                  static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
        EXPECT_EQ(sim::To_String(errors[0].At),
                  "match.scenario:" + std::to_string(errors[0].At.Line));
    }
}

TEST(Scenario, every_mistake_of_a_file_is_reported_not_just_the_first) {
    sim::Scenario s;
    const auto errors = Parse("player rex id 5\nfly away\ncharge c rex remote on moon\n", s);
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0].At.Line, 1u);
    EXPECT_EQ(errors[1].At.Line, 2u);
    EXPECT_EQ(errors[2].At.Line, 3u);
}

TEST(Scenario, a_missing_file_is_an_error_naming_it) {
    sim::Scenario s;
    const auto errors = sim::Read_Scenario("no/such/match.scenario", s);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(sim::To_String(errors[0].At), "no/such/match.scenario");
    EXPECT_THAT(errors[0].Text, HasSubstr("cannot be read"));
}
