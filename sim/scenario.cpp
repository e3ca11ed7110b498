#include "sim/scenario.h"

#include "engine/ascii.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

namespace sim {

std::string To_String(const Place& place) {
    return place.Line ? place.File + ":" + std::to_string(place.Line) : place.File;
}

namespace {

struct RuleName {
    Rule Value;
    const char* Name;
};
const RuleName Rule_Names[] = {
    {Rule::None, "none"},
    {Rule::Protected_Object, "protected-object"},
    {Rule::Own_Harvester, "own-harvester"},
    {Rule::Occupied_Vehicle, "occupied-vehicle"},
    {Rule::Proximity_On_Vehicle, "proximity-on-vehicle"},
    {Rule::Remote_Limit, "RemoteC4Limit"},
    {Rule::Timed_Limit, "TimedC4Limit"},
    {Rule::Remote_Stacked, "RemoteC4Stacked"},
    {Rule::Timed_Stacked, "TimedC4Stacked"},
};

// The longest wait and the most seats a scenario may name: far beyond any match, short of
// what would make the simulator itself misbehave.
constexpr double Longest_Time = 1e7;
constexpr int32_t Most_Seats = 64;

struct Token {
    std::string Text;
    bool Quoted = false;
};

class Parser {
  public:
    Parser(const std::string& file, Scenario& scenario) : scenario_(scenario) {
        scenario_ = Scenario{};
        scenario_.File = file;
        at_.File = file;
    }

    void Line(const std::string& raw, size_t number) {
        at_.Line = number;
        std::string line = raw;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        tokens_.clear();
        next_ = 0;
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos)
            return;
        // A settings line is taken as written, comments and all: it is the settings
        // file's own syntax.
        if (line.compare(start, 3, "ini") == 0 &&
            (start + 3 == line.size() || line[start + 3] == ' ' || line[start + 3] == '\t')) {
            const size_t text = line.find_first_not_of(" \t", start + 3);
            Ini(text == std::string::npos ? "" : line.substr(text));
            return;
        }
        if (!Tokenize(line) || tokens_.empty())
            return;
        Statement();
    }

    std::vector<ScenarioError> Finish() { return errors_; }

  private:
    // --- Words of a line

    bool Tokenize(const std::string& line) {
        for (size_t i = 0; i < line.size();) {
            const char c = line[i];
            if (c == ' ' || c == '\t') {
                ++i;
            } else if (c == '#') {
                break;
            } else if (c == '"') {
                Token token{"", true};
                for (++i;; ++i) {
                    if (i == line.size())
                        return Error("a quoted text without its closing \"");
                    if (line[i] == '"')
                        break;
                    if (line[i] == '\\' && i + 1 < line.size() &&
                        (line[i + 1] == '"' || line[i + 1] == '\\'))
                        ++i;
                    token.Text += line[i];
                }
                ++i;
                tokens_.push_back(token);
            } else {
                const size_t end = line.find_first_of(" \t\"#", i);
                tokens_.push_back({line.substr(i, end - i), false});
                i = end == std::string::npos ? line.size() : end;
            }
        }
        return true;
    }

    bool More() const { return next_ < tokens_.size(); }
    bool Next_Is(const char* word) const {
        return More() && !tokens_[next_].Quoted && tokens_[next_].Text == word;
    }
    // The next word, or false (with an error naming what was wanted) at the end of the line.
    bool Take(std::string& word, const std::string& wanted) {
        if (!More())
            return Error("missing " + wanted);
        word = tokens_[next_++].Text;
        return true;
    }
    bool Take_Word(const char* word) {
        if (Next_Is(word)) {
            ++next_;
            return true;
        }
        return Error(std::string("expected '") + word + "'" +
                     (More() ? " instead of '" + tokens_[next_].Text + "'" : ""));
    }
    bool End_Of_Statement() {
        if (More())
            return Error("unexpected '" + tokens_[next_].Text + "' at the end of the line");
        return true;
    }

    bool Error(const std::string& text) {
        errors_.push_back({at_, text});
        return false;
    }

    // --- Values

    bool Integer(const std::string& text, const std::string& what, int64_t low, int64_t high,
                 int32_t& value) {
        char* end = nullptr;
        errno = 0;
        const long long n = std::strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || errno == ERANGE || n < low || n > high)
            return Error(what + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not '" + text + "'");
        value = static_cast<int32_t>(n);
        return true;
    }

    bool Team(int32_t& team) {
        std::string word;
        if (!Take(word, "the team after 'team'"))
            return false;
        if (word == "nod") {
            team = 0;
            return true;
        }
        if (word == "gdi") {
            team = 1;
            return true;
        }
        return Integer(word, "a team (or nod, gdi)", INT32_MIN, INT32_MAX, team);
    }

    bool Seconds(const std::string& text, double& seconds) {
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(value) || value < 0 ||
            value > Longest_Time)
            return Error("a time must be a number of seconds from 0 to " +
                         std::to_string(static_cast<long>(Longest_Time)) + ", not '" + text + "'");
        seconds = value;
        return true;
    }

    // --- Names

    bool Reserved(const std::string& name) const { return name == "nobody" || name == "nothing"; }

    bool New_Name(const std::string& name) {
        if (name.empty() || Reserved(name))
            return Error("'" + name + "' cannot be a name");
        if (const Thing* thing = scenario_.Find(name))
            return Error("the name '" + name + "' is taken (defined at " +
                         To_String(thing->Defined) + ")");
        return true;
    }

    // A thing defined on an earlier line, of one of the kinds wanted.
    const Thing* Known(const std::string& name, const char* what,
                       std::initializer_list<ThingKind> kinds) {
        const Thing* thing = scenario_.Find(name);
        if (!thing) {
            Error(std::string("no ") + what + " named '" + name + "' is defined before this line");
            return nullptr;
        }
        for (ThingKind kind : kinds)
            if (thing->Kind == kind)
                return thing;
        Error("'" + name + "' is not a " + what);
        return nullptr;
    }

    // --- Statements

    void Statement() {
        std::string word = tokens_[next_++].Text;
        if (tokens_[0].Quoted)
            word = "\"" + word + "\"";
        if (word == "player")
            Player();
        else if (word == "vehicle" || word == "harvester" || word == "object")
            Object(word);
        else if (word == "board")
            Board();
        else if (word == "leave")
            Leave();
        else if (word == "charge")
            Charge();
        else if (word == "at" || word == "wait")
            Time(word == "wait");
        else if (word == "expect")
            Expect();
        else if (word == "settings")
            Settings();
        else if (word == "section")
            Section();
        else
            Error("unknown word '" + word +
                  "' (a line starts with player, vehicle, harvester, object, board, leave, "
                  "charge, at, wait, expect, settings, ini or section)");
    }

    void Add(Thing thing) {
        thing.Defined = at_;
        scenario_.Steps.push_back({StepKind::Create, at_, thing.Name});
        scenario_.Things.push_back(std::move(thing));
    }

    void Player() {
        Thing player;
        player.Kind = ThingKind::Player;
        bool has_id = false, has_team = false,
             ok = Take(player.Name, "the player's name") && New_Name(player.Name);
        while (ok && More()) {
            std::string word;
            Take(word, "");
            if (word == "id")
                ok = has_id = Take(word, "the player id after 'id'") &&
                              Integer(word, "a player id", 0, INT32_MAX, player.Id);
            else if (word == "team")
                ok = has_team = Team(player.Team);
            else
                ok = Error("unexpected '" + word + "' (a player has an id and a team)");
        }
        if (ok && !has_id)
            ok = Error("player '" + player.Name + "' needs an id (id N)");
        if (ok && !has_team)
            ok = Error("player '" + player.Name + "' needs a team (team T)");
        if (ok)
            for (const Thing& other : scenario_.Things)
                if (other.Kind == ThingKind::Player && other.Id == player.Id)
                    ok = Error("player id " + std::to_string(player.Id) + " is taken by '" +
                               other.Name + "' (defined at " + To_String(other.Defined) + ")");
        if (ok)
            Add(player);
    }

    void Object(const std::string& what) {
        Thing thing;
        thing.Kind = what == "object" ? ThingKind::Object : ThingKind::Vehicle;
        thing.Harvester = what == "harvester";
        thing.Seats = thing.Harvester ? 1 : 0;
        bool has_team = false, has_seats = false;
        bool ok = Take(thing.Name, "the " + what + "'s name") && New_Name(thing.Name);
        while (ok && More()) {
            std::string word;
            Take(word, "");
            if (word == "team") {
                ok = has_team = Team(thing.Team);
            } else if (word == "preset") {
                ok = Take(thing.Preset, "the preset name after 'preset'");
            } else if (word == "protected") {
                thing.Protected = true;
                if (Next_Is("yes") || Next_Is("no"))
                    thing.Protected = tokens_[next_++].Text == "yes";
            } else if (word == "seats" && what == "vehicle") {
                ok = Take(word, "the number of seats after 'seats'") &&
                     Integer(word, "a number of seats", 0, Most_Seats, thing.Seats);
                has_seats = ok;
            } else {
                ok = Error("unexpected '" + word + "' (a " + what + " has a team" +
                           (what == "vehicle" ? ", seats" : "") +
                           ", and may have a preset and 'protected')");
            }
        }
        if (ok && !has_team)
            ok = Error(what + " '" + thing.Name + "' needs a team (team T)");
        if (ok && what == "vehicle" && !has_seats)
            ok = Error("vehicle '" + thing.Name + "' needs its number of seats (seats N)");
        if (ok && thing.Harvester && thing.Preset.empty()) {
            if (thing.Team == 0)
                thing.Preset = "CnC_Nod_Harvester";
            else if (thing.Team == 1)
                thing.Preset = "CnC_GDI_Harvester";
            else
                ok = Error("a harvester of team " + std::to_string(thing.Team) +
                           " needs its preset (preset P): only teams 0 and 1 have one");
        }
        if (ok)
            Add(thing);
    }

    void Board() {
        std::string player_name, vehicle_name, word;
        if (!Take(player_name, "the player who boards") ||
            !Take(vehicle_name, "the vehicle after the player"))
            return;
        const Thing* player = Known(player_name, "player", {ThingKind::Player});
        const Thing* vehicle = Known(vehicle_name, "vehicle", {ThingKind::Vehicle});
        if (!player || !vehicle)
            return;
        std::vector<std::string>& seats = seats_[vehicle_name];
        seats.resize(static_cast<size_t>(vehicle->Seats));
        int32_t seat = -1;
        if (More()) {
            if (!Take_Word("seat") || !Take(word, "the seat number after 'seat'") ||
                !Integer(word, "a seat number", 1, Most_Seats, seat) || !End_Of_Statement())
                return;
            if (seat > vehicle->Seats) {
                Error("vehicle '" + vehicle_name + "' has " + std::to_string(vehicle->Seats) +
                      (vehicle->Seats == 1 ? " seat" : " seats") + ", so there is no seat " +
                      std::to_string(seat));
                return;
            }
            --seat;
        } else {
            for (size_t i = 0; i < seats.size() && seat < 0; ++i)
                if (seats[i].empty())
                    seat = static_cast<int32_t>(i);
            if (seat < 0) {
                Error("vehicle '" + vehicle_name + "' has no free seat");
                return;
            }
        }
        if (!seats[static_cast<size_t>(seat)].empty()) {
            Error("seat " + std::to_string(seat + 1) + " of '" + vehicle_name + "' is taken by '" +
                  seats[static_cast<size_t>(seat)] + "'");
            return;
        }
        auto aboard = aboard_.find(player_name);
        if (aboard != aboard_.end()) {
            Error("'" + player_name + "' already sits in '" + aboard->second + "'");
            return;
        }
        seats[static_cast<size_t>(seat)] = player_name;
        aboard_[player_name] = vehicle_name;
        Step step{StepKind::Board, at_, player_name, vehicle_name, seat};
        scenario_.Steps.push_back(step);
    }

    void Leave() {
        std::string player_name;
        if (!Take(player_name, "the player who leaves") || !End_Of_Statement() ||
            !Known(player_name, "player", {ThingKind::Player}))
            return;
        auto aboard = aboard_.find(player_name);
        if (aboard == aboard_.end()) {
            Error("'" + player_name + "' sits in no vehicle");
            return;
        }
        for (std::string& seat : seats_[aboard->second])
            if (seat == player_name)
                seat.clear();
        aboard_.erase(aboard);
        scenario_.Steps.push_back({StepKind::Leave, at_, player_name});
    }

    void Charge() {
        Thing charge;
        charge.Kind = ThingKind::Charge;
        std::string owner, kind, target;
        if (!Take(charge.Name, "the charge's name") || !New_Name(charge.Name) ||
            !Take(owner, "the charge's owner (a player, or nobody)") ||
            !Take(kind, "the kind of charge (remote, timed or proximity)"))
            return;
        if (kind == "remote")
            charge.Kind_Of_Charge = C4_Remote;
        else if (kind == "timed")
            charge.Kind_Of_Charge = C4_Timed;
        else if (kind == "proximity")
            charge.Kind_Of_Charge = C4_Third;
        else {
            Error("unknown kind of charge '" + kind + "' (remote, timed or proximity)");
            return;
        }
        if (!Take_Word("on") || !Take(target, "what the charge sticks to (a name, or nothing)") ||
            !End_Of_Statement())
            return;
        if (owner != "nobody") {
            const Thing* player = Known(owner, "player", {ThingKind::Player});
            if (!player)
                return;
            charge.Owner = owner;
            charge.Team = player->Team;
        }
        if (target != "nothing") {
            if (!Known(
                    target, "thing",
                    {ThingKind::Player, ThingKind::Vehicle, ThingKind::Object, ThingKind::Charge}))
                return;
            charge.Target = target;
        }
        Add(charge);
    }

    void Time(bool relative) {
        std::string word;
        double seconds = 0;
        if (!Take(word, relative ? "the seconds to wait" : "the time in seconds") ||
            !Seconds(word, seconds) || !End_Of_Statement())
            return;
        const double time = relative ? now_ + seconds : seconds;
        if (time < now_) {
            Error("the clock cannot go back: it is at " + Format(now_) + " s already");
            return;
        }
        if (time > Longest_Time) {
            Error("a match is at most " + std::to_string(static_cast<long>(Longest_Time)) +
                  " seconds long");
            return;
        }
        now_ = time;
        Step step{StepKind::Until, at_};
        step.Time = time;
        scenario_.Steps.push_back(step);
    }

    static std::string Format(double seconds) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", seconds);
        return text;
    }

    void Expect() {
        std::string word;
        if (!Take(word, "what is expected (removed, stays, page or pages)"))
            return;
        Expectation e{ExpectKind::Removed, at_};
        if (word == "removed" || word == "stays") {
            e.Kind = word == "removed" ? ExpectKind::Removed : ExpectKind::Stays;
            if (!Take(e.Charge, "the charge") || !Known(e.Charge, "charge", {ThingKind::Charge}))
                return;
            if (e.Kind == ExpectKind::Removed && More()) {
                std::string rule;
                if (!Take_Word("by") || !Take(rule, "the rule after 'by'"))
                    return;
                e.By = Rule_Named(rule);
                if (e.By == Rule::None) {
                    std::string names;
                    for (const RuleName& r : Rule_Names)
                        if (r.Value != Rule::None)
                            names += std::string(names.empty() ? "" : ", ") + r.Name;
                    Error("unknown rule '" + rule + "' (" + names + ")");
                    return;
                }
            }
        } else if (word == "page") {
            e.Kind = ExpectKind::Page;
            if (!More() || !tokens_[next_].Quoted) {
                Error("expect page needs the line in quotes, e.g. \"ppage 5 No C4 here!\"");
                return;
            }
            e.Line = tokens_[next_++].Text;
        } else if (word == "pages") {
            e.Kind = ExpectKind::Page_Count;
            int32_t count = 0;
            if (!Take(word, "the number of pages") ||
                !Integer(word, "a number of pages", 0, INT32_MAX, count))
                return;
            e.Count = static_cast<size_t>(count);
        } else {
            Error("unknown expectation '" + word + "' (removed, stays, page or pages)");
            return;
        }
        if (End_Of_Statement())
            scenario_.Expectations.push_back(e);
    }

    void Settings() {
        std::string path;
        if (!Take(path, "the settings file's path") || !End_Of_Statement())
            return;
        if (scenario_.Inline_Settings || !scenario_.Settings_File.empty()) {
            Error("the settings are given already (at " + To_String(scenario_.Settings_At) + ")");
            return;
        }
        scenario_.Settings_File = path;
        scenario_.Settings_At = at_;
    }

    void Ini(const std::string& text) {
        if (!scenario_.Settings_File.empty()) {
            Error("the settings come from a file already (at " + To_String(scenario_.Settings_At) +
                  "); 'ini' lines write them here instead");
            return;
        }
        if (!scenario_.Inline_Settings)
            scenario_.Settings_At = at_;
        scenario_.Inline_Settings = true;
        scenario_.Ini_Lines.push_back(text);
    }

    void Section() {
        std::string name;
        if (!Take(name, "the override section's name") || !End_Of_Statement())
            return;
        if (scenario_.Has_Section) {
            Error("the override section is given already");
            return;
        }
        scenario_.Has_Section = true;
        scenario_.Section = name;
    }

    Scenario& scenario_;
    Place at_;
    std::vector<Token> tokens_;
    size_t next_ = 0;
    std::vector<ScenarioError> errors_;
    double now_ = 0;
    std::map<std::string, std::vector<std::string>> seats_; // vehicle: who sits where
    std::map<std::string, std::string> aboard_;             // player: vehicle
};

} // namespace

const char* Rule_Name(Rule rule) {
    for (const RuleName& r : Rule_Names)
        if (r.Value == rule)
            return r.Name;
    return "none";
}

Rule Rule_Named(const std::string& name) {
    for (const RuleName& r : Rule_Names)
        if (Ascii_Equal_Ignoring_Case(r.Name, name.c_str()))
            return r.Value;
    return Rule::None;
}

const Thing* Scenario::Find(const std::string& name) const {
    for (const Thing& thing : Things)
        if (thing.Name == name)
            return &thing;
    return nullptr;
}

std::vector<ScenarioError> Parse_Scenario(std::istream& in, const std::string& file,
                                          Scenario& scenario) {
    Parser parser(file, scenario);
    std::string line;
    for (size_t number = 1; std::getline(in, line); ++number)
        parser.Line(line, number);
    return parser.Finish();
}

std::vector<ScenarioError> Read_Scenario(const std::string& path, Scenario& scenario) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {{{path, 0}, std::string("cannot be read (") + std::strerror(errno) + ")"}};
    return Parse_Scenario(in, path, scenario);
}

} // namespace sim
