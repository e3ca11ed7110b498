#include "sim/match.h"

#include "sim/bhs_module.h"
#include "sim/judgement.h"
#include "sim/settings_check.h"
#include "standin/allocator.h"
#include "standin/command_table.h"
#include "standin/ini.h"
#include "standin/message_boxes.h"
#include "standin/server_image.h"
#include "standin/ssgm_records.h"
#include "standin/working_directory.h"
#include "standin/world.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>

namespace sim {

namespace {

// The build of the server the match runs on (the first the plugin recognises).
constexpr int32_t Server_Build = 0;
// The plugin host's log prefix: the daily log file is ssgm_<month>-<day>-<year>.txt.
constexpr char Log_Prefix[] = "ssgm";

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

const char* Kind_Name(C4Kind kind) {
    return kind == C4_Remote ? "remote" : kind == C4_Timed ? "timed" : "proximity";
}

// The lines of the plugin host's daily log files in the working directory.
std::vector<std::string> Log_Lines() {
    std::vector<std::string> lines;
    std::vector<std::filesystem::path> files;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(".", ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(std::string(Log_Prefix) + "_", 0) == 0 && entry.path().extension() == ".txt")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
    }
    return lines;
}

// SSGM's text fields: an empty host string in place, and reading one back.
void Empty_Host_String(unsigned char* record, size_t at) {
    std::memset(record + at, 0, sizeof(HostString));
    const uint32_t capacity = Host_String_Inline_Capacity;
    std::memcpy(record + at + offsetof(HostString, Capacity), &capacity, sizeof capacity);
}

std::string Take_Host_String(unsigned char* record, size_t at) {
    HostString s;
    std::memcpy(&s, record + at, sizeof s);
    std::string text(s.Capacity <= Host_String_Inline_Capacity ? s.Storage.Inline : s.Storage.Block,
                     s.Length);
    // A longer text went into a block of the server's allocator; SSGM would free it.
    if (s.Capacity > Host_String_Inline_Capacity)
        standin::Release(s.Storage.Block);
    return text;
}

class Match {
  public:
    Match(const Scenario& scenario, PluginSource& plugin, const MatchOptions& options,
          const Event_Sink& report)
        : scenario_(scenario), plugin_(plugin), options_(options), report_(report) {}

    MatchResult Play() {
        if (!Prepare_Settings())
            return Fail();
        standin::WorkingDirectory directory("tarnwick-sim-");
        std::string why;
        if (!directory.Ready(why)) {
            result_.Error = why;
            return Fail();
        }
        if (has_settings_file_)
            std::ofstream("tarnwick.ini", std::ios::binary) << settings_text_;

        standin::Reset_Allocator();
        standin::Reset_Command_Table();
        standin::Reset_Ini();
        standin::Clear_Message_Boxes();
        standin::World world;
        world_ = &world;
        if (!standin::Plant_Server_Image({Server_Build})) {
            result_.Error = "this process cannot lay out the server's image (0x401000..0x870000)";
            return Fail();
        }
        report_(
            {"match", -1, "match: " + scenario_.File, {Text_Field("scenario", scenario_.File)}});
        Report_Settings();
        if (!Start())
            return Fail();
        for (const Step& step : scenario_.Steps)
            Run(step);
        Drain();
        Stop();
        world_ = nullptr;
        Summarise();
        return result_;
    }

  private:
    // --- Settings

    bool Prepare_Settings() {
        section_ = options_.Has_Section ? options_.Section : scenario_.Section;
        std::string path;
        if (!options_.Settings_File.empty()) {
            path = options_.Settings_File;
            settings_source_ = path;
        } else if (scenario_.Inline_Settings) {
            for (const std::string& line : scenario_.Ini_Lines)
                settings_text_ += line + "\n";
            has_settings_file_ = true;
            settings_source_ = "written in " + scenario_.File;
        } else if (!scenario_.Settings_File.empty()) {
            std::filesystem::path file(scenario_.Settings_File);
            if (file.is_relative())
                file = std::filesystem::path(scenario_.File).parent_path() / file;
            path = file.lexically_normal().string();
            settings_source_ = path;
        } else {
            settings_source_ = "none (every key takes its default)";
        }
        if (!path.empty()) {
            std::string error;
            if (!Read_Settings_Bytes(path, settings_text_, error)) {
                result_.Error = scenario_.Settings_File.empty() || !options_.Settings_File.empty()
                                    ? error
                                    : To_String(scenario_.Settings_At) + ": " + error;
                return false;
            }
            has_settings_file_ = true;
        }
        std::istringstream in(settings_text_);
        settings_ = Check_Settings(standin::Parse_Ini(in), section_);
        return true;
    }

    void Report_Settings() {
        Event e{"settings", -1, "settings: " + settings_source_};
        e.Text += section_.empty() ? ", no override section"
                                   : ", override section [" + section_ + "]" +
                                         (settings_.Section_Found ? "" : " (not in the file)");
        std::string values;
        for (const EffectiveSetting& v : settings_.Values)
            if (v.Key->Kind == KeyKind::Integer)
                values += std::string(values.empty() ? "" : ", ") + v.Key->Name + " " + v.Text;
        e.Text += "\n" + values;
        e.Fields = {Text_Field("source", settings_source_), Text_Field("section", section_)};
        for (const EffectiveSetting& v : settings_.Values)
            e.Fields.push_back(v.Key->Kind == KeyKind::Integer ? Number_Field(v.Key->Name, v.Number)
                                                               : Text_Field(v.Key->Name, v.Text));
        std::vector<std::string> findings;
        for (const Finding& f : settings_.Findings) {
            if (f.Level == Severity::Note)
                continue;
            findings.push_back((f.Level == Severity::Error ? "error: " : "warning: ") +
                               (f.Line ? "line " + std::to_string(f.Line) + ": " : "") + f.Text);
            e.Text += "\n" + findings.back();
        }
        e.Fields.push_back(Texts_Field("findings", findings));
        report_(e);
    }

    // --- The plugin's start and end, as SSGM and the server drive it

    bool Start() {
        std::string error;
        if (!plugin_.Load(error)) {
            result_.Error = error;
            return false;
        }
        loaded_ = true;
        // What the attach handler's binding keeps for the life of the process.
        blocks_at_load_ = standin::Allocator_Counts().Live;
        const PluginExports& x = plugin_.Exports();
        world_->Use_Script_Library(x.Create_Script);
        world_->After_Timer = [this](ServerObject object) { Judged(object); };

        alignas(4) unsigned char version_record[128] = {};
        alignas(4) unsigned char plugin_record[128] = {};
        Empty_Host_String(version_record, Version_Record_Version);
        Empty_Host_String(plugin_record, Plugin_Record_Title);
        Empty_Host_String(plugin_record, Plugin_Record_Version);
        host_settings_.Set_File_Log_All(true);
        host_settings_.Set_Log_File_Prefix(Log_Prefix);
        host_context_.Set_Section_Name(section_);

        x.Check_Version(0, version_record);
        x.Plugin_Load(bhs_.Module(), host_settings_.Record(), host_context_.Record(), 0,
                      plugin_record);
        described_ = true;
        const std::string title = Take_Host_String(plugin_record, Plugin_Record_Title);
        const std::string version = Take_Host_String(plugin_record, Plugin_Record_Version);
        const std::string interface = Take_Host_String(version_record, Version_Record_Version);
        report_(
            {"plugin",
             -1,
             title + " " + version + ", from " + plugin_.Description(),
             {Text_Field("title", title), Text_Field("version", version),
              Text_Field("host_interface", interface), Text_Field("from", plugin_.Description())}});

        x.Set_Request_Destroy_Func(&standin::Request_Destroy);
        ScriptCommands commands{&standin::Command_Table_Instance()};
        const bool accepted = x.Set_Script_Commands(&commands);
        for (const standin::MessageBoxCall& box : standin::Message_Boxes())
            report_({"message_box",
                     -1,
                     "message box \"" + box.Caption + "\": " + box.Text,
                     {Text_Field("caption", box.Caption), Text_Field("message", box.Text)}});
        Report_Log();
        if (!accepted) {
            result_.Error = "the plugin refused the server's command table";
            return false;
        }
        report_({"started",
                 -1,
                 bhs_.Hook_Count() ? "plugin started; it watches every new object"
                                   : "plugin started, but it registered no object-create hook: "
                                     "no charge will be judged",
                 {Number_Field("hooks", static_cast<double>(bhs_.Hook_Count()))}});
        return true;
    }

    void Stop() {
        plugin_.Exports().Plugin_Unload();
        Report_Log();
        console_lines_ = world_->Console_Lines;
        // The server's objects go while the scripts' code is still loaded.
        world_->Destroy_All_Objects();
        world_->After_Timer = nullptr;
        plugin_.Unload();
        loaded_ = false;
        Check_Health();
    }

    void Check_Health() {
        std::vector<std::string> problems;
        const standin::AllocatorCounts blocks = standin::Allocator_Counts();
        if (blocks.Live > blocks_at_load_)
            problems.push_back(std::to_string(blocks.Live - blocks_at_load_) +
                               " blocks of the server's allocator not given back");
        if (blocks.Unknown_Frees || blocks.Double_Frees)
            problems.push_back(std::to_string(blocks.Unknown_Frees + blocks.Double_Frees) +
                               " blocks given back that were not live");
        if (standin::Ini_Counts().Live)
            problems.push_back(std::to_string(standin::Ini_Counts().Live) +
                               " INI objects not released");
        if (standin::Ini_Counts().Bad_Handle_Calls)
            problems.push_back("INI calls on a released or null handle");
        if (!world_->Unexpected_Calls.empty())
            problems.push_back("a call of slot " +
                               std::to_string(world_->Unexpected_Calls.front().Slot) + " of a " +
                               world_->Unexpected_Calls.front().Where +
                               ", which the stand-in does not serve");
        if (!standin::Trap_Calls().empty())
            problems.push_back("a call of the command at offset " +
                               std::to_string(standin::Trap_Calls().front()) +
                               ", which the stand-in does not serve");
        result_.Health_Problems = problems.size();
        std::string text = "plugin health: ";
        if (problems.empty())
            text += "every block and INI object given back; no call outside what the server "
                    "serves";
        for (size_t i = 0; i < problems.size(); ++i)
            text += (i ? "; " : "PROBLEM: ") + problems[i];
        health_ = {"health",
                   -1,
                   text,
                   {Flag_Field("ok", problems.empty()), Texts_Field("problems", problems)}};
    }

    void Report_Log() {
        const std::vector<std::string> lines = Log_Lines();
        for (size_t i = log_seen_; i < lines.size(); ++i)
            report_({"log", -1, "log: " + lines[i], {Text_Field("line", lines[i])}});
        log_seen_ = std::max(log_seen_, lines.size());
    }

    // --- The match

    void Run(const Step& step) {
        switch (step.Kind) {
        case StepKind::Create:
            Create(*scenario_.Find(step.Name));
            break;
        case StepKind::Board:
        case StepKind::Leave:
            Seat(step);
            break;
        case StepKind::Until:
            Advance_To(step.Time);
            break;
        }
        Note_Console_Lines();
    }

    ServerObject Object_Of(const std::string& name) const {
        auto it = objects_.find(name);
        return it == objects_.end() ? nullptr : it->second;
    }

    std::string Description_Of(const Thing& t) const {
        std::string team = "team " + std::to_string(t.Team);
        switch (t.Kind) {
        case ThingKind::Player:
            return "player id " + std::to_string(t.Id) + ", " + team;
        case ThingKind::Vehicle:
            return (t.Harvester ? "harvester " + t.Preset
                                : "vehicle" + (t.Preset.empty() ? "" : " " + t.Preset)) +
                   ", " + team + ", " + std::to_string(t.Seats) +
                   (t.Seats == 1 ? " seat" : " seats") + (t.Protected ? ", protected" : "");
        case ThingKind::Object:
            return "object" + (t.Preset.empty() ? "" : " " + t.Preset) + ", " + team +
                   (t.Protected ? ", protected" : "");
        case ThingKind::Charge:
            return std::string(Kind_Name(t.Kind_Of_Charge)) + " charge of " +
                   (t.Owner.empty() ? std::string("nobody") : Quoted(t.Owner)) + ", " + team;
        }
        return team;
    }

    void Create(const Thing& t) {
        standin::World& w = *world_;
        ServerObject object = nullptr;
        switch (t.Kind) {
        case ThingKind::Player:
            object = w.Add_Soldier(t.Team, t.Id);
            break;
        case ThingKind::Vehicle:
            object = w.Add_Vehicle(t.Team, t.Seats, t.Preset);
            break;
        case ThingKind::Object:
            object = w.Add_Object(t.Team, t.Preset, t.Protected);
            break;
        case ThingKind::Charge:
            object =
                w.Add_Charge(t.Kind_Of_Charge, Object_Of(t.Owner), Object_Of(t.Target), t.Team);
            charge_of_[object] = t.Name;
            break;
        }
        if (t.Protected)
            w.Set_Protected_Target(object, true);
        objects_[t.Name] = object;
        ThingState& state = model_.Things[t.Name];
        state.Definition = &t;
        state.Live = true;
        state.Seats.assign(t.Kind == ThingKind::Vehicle ? static_cast<size_t>(t.Seats) : 0, "");

        Event e{t.Kind == ThingKind::Charge ? "placed" : "created", w.Clock()};
        if (t.Kind == ThingKind::Charge) {
            const ThingState* target = t.Target.empty() ? nullptr : model_.Find(t.Target);
            const std::string on = t.Target.empty() ? "nothing"
                                                    : Quoted(t.Target) + " (" +
                                                          Description_Of(*target->Definition) +
                                                          (target->Live ? "" : ", gone") + ")";
            e.Text = (t.Owner.empty() ? std::string("nobody") : t.Owner) + " places a " +
                     Kind_Name(t.Kind_Of_Charge) + " charge " + Quoted(t.Name) + " on " + on;
            ++placed_;
            e.Fields = {Text_Field("charge", t.Name), Text_Field("owner", t.Owner),
                        Text_Field("kind", Kind_Name(t.Kind_Of_Charge)),
                        Text_Field("on", t.Target)};
        } else {
            e.Text = Quoted(t.Name) + " comes into the game: " + Description_Of(t);
            e.Fields = {Text_Field("name", t.Name), Text_Field("what", Description_Of(t))};
        }
        report_(e);
        // The server created a game object: the plugin host passes it to every hook.
        bhs_.Object_Created(object);
        Note_Timers();
    }

    void Seat(const Step& step) {
        if (step.Kind == StepKind::Board) {
            world_->Seat(Object_Of(step.Vehicle), step.Seat, Object_Of(step.Name));
            model_.Things[step.Vehicle].Seats[static_cast<size_t>(step.Seat)] = step.Name;
            report_({"boarded",
                     world_->Clock(),
                     step.Name + " boards " + Quoted(step.Vehicle) + ", seat " +
                         std::to_string(step.Seat + 1),
                     {Text_Field("player", step.Name), Text_Field("vehicle", step.Vehicle),
                      Number_Field("seat", step.Seat + 1)}});
            return;
        }
        for (auto& entry : model_.Things) {
            std::vector<std::string>& seats = entry.second.Seats;
            for (size_t i = 0; i < seats.size(); ++i)
                if (seats[i] == step.Name) {
                    seats[i].clear();
                    world_->Seat(Object_Of(entry.first), static_cast<int>(i), nullptr);
                    report_(
                        {"left",
                         world_->Clock(),
                         step.Name + " leaves " + Quoted(entry.first),
                         {Text_Field("player", step.Name), Text_Field("vehicle", entry.first)}});
                }
        }
    }

    // --- The clock

    struct PendingTimer {
        double Due;
        ServerObject Object;
    };

    void Note_Timers() {
        const auto& starts = world_->Timer_Starts;
        for (; timers_seen_ < starts.size(); ++timers_seen_)
            pending_.push_back({world_->Clock() + static_cast<double>(starts[timers_seen_].Seconds),
                                starts[timers_seen_].Object});
    }

    // One step of the server's clock, landing exactly at `time` or just past it.
    void Step_To(double time) {
        const double now = world_->Clock();
        double step = time > now ? time - now : 0;
        while (now + step < time)
            step = std::nextafter(step, std::numeric_limits<double>::infinity());
        world_->Advance_Clock(step);
        Note_Timers();
        const double after = world_->Clock();
        pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                      [after](const PendingTimer& t) { return t.Due <= after; }),
                       pending_.end());
        Note_Console_Lines();
    }

    // Runs the clock on to `time`, stopping at every moment a timer is due, so each
    // judgement is reported at its own time.
    void Advance_To(double time) {
        for (;;) {
            double next = std::numeric_limits<double>::infinity();
            for (const PendingTimer& t : pending_)
                next = std::min(next, t.Due);
            if (next > time)
                break;
            Step_To(next);
        }
        if (time > world_->Clock())
            Step_To(time);
    }

    // After the last step, until every timer has fired.
    void Drain() {
        while (!pending_.empty()) {
            double last = world_->Clock();
            for (const PendingTimer& t : pending_)
                last = std::max(last, t.Due);
            Advance_To(last);
        }
    }

    // --- Judgements

    void Judged(ServerObject object) {
        auto named = charge_of_.find(object);
        const std::vector<std::string>& console = world_->Console_Lines;
        std::vector<std::string> pages(console.begin() + static_cast<long>(console_seen_),
                                       console.end());
        console_seen_ = console.size();
        bool removed = false;
        for (; removed_seen_ < world_->Removed_Charges.size(); ++removed_seen_) {
            ServerObject gone = world_->Removed_Charges[removed_seen_];
            removed = removed || gone == object;
            auto other = charge_of_.find(gone);
            if (other != charge_of_.end())
                model_.Things[other->second].Live = false;
            if (gone != object)
                report_({"anomaly",
                         world_->Clock(),
                         "the plugin removed " +
                             (other == charge_of_.end() ? std::string("an object")
                                                        : Quoted(other->second)) +
                             " while judging another charge",
                         {}});
        }
        if (named == charge_of_.end())
            return;
        const Thing& charge = *scenario_.Find(named->second);
        // The world as the plugin saw it: before this removal took effect.
        ThingState& state = model_.Things[charge.Name];
        const bool live = state.Live;
        state.Live = true;
        const Situation situation = Situation_Of(model_, charge, settings_);
        state.Live = live && !removed;
        const PlayerId owner_id = model_.Owner_Id(charge);
        Verdict verdict = Judge(situation, removed, pages, owner_id, settings_);
        verdicts_[charge.Name] = verdict;
        removed ? ++removed_ : ++kept_;
        pages_ += pages.size();

        std::string text = Quoted(charge.Name) + (removed ? " removed" : " stays");
        if (removed && verdict.By != Rule::None)
            text += std::string(" by ") + Rule_Name(verdict.By);
        text += ": " + verdict.Reason;
        if (!verdict.How.empty())
            text += "\n" + verdict.How;
        for (const std::string& page : pages)
            text += "\npage: " + page;
        if (removed && pages.empty() && !verdict.Silence.empty())
            text += "\nno page: " + verdict.Silence;
        report_({"judged",
                 world_->Clock(),
                 text,
                 {Text_Field("charge", charge.Name), Flag_Field("removed", removed),
                  Text_Field("rule", removed ? Rule_Name(verdict.By) : "none"),
                  Text_Field("reason", verdict.Reason), Text_Field("how", verdict.How),
                  Texts_Field("pages", pages), Text_Field("no_page", verdict.Silence)}});
    }

    // Console lines that came outside a judgement.
    void Note_Console_Lines() {
        const std::vector<std::string>& console = world_->Console_Lines;
        for (; console_seen_ < console.size(); ++console_seen_) {
            report_({"console",
                     world_->Clock(),
                     "console: " + console[console_seen_],
                     {Text_Field("line", console[console_seen_])}});
            ++pages_;
        }
    }

    // --- Expectations and summary

    std::string Seen_Of(const std::string& charge) const {
        auto it = verdicts_.find(charge);
        if (it == verdicts_.end())
            return Quoted(charge) + " was never judged";
        const Verdict& v = it->second;
        if (!v.Removed)
            return Quoted(charge) + " stayed (" + v.Reason + ")";
        return Quoted(charge) + " removed by " + Rule_Name(v.By) + " (" + v.Reason + ")";
    }

    std::string Pages_Seen() const {
        const std::vector<std::string>& console = console_lines_;
        if (console.empty())
            return "no page was sent";
        std::string text =
            std::to_string(console.size()) + (console.size() == 1 ? " page" : " pages");
        for (const std::string& line : console)
            text += "\n  \"" + line + "\"";
        return text;
    }

    void Check(const Expectation& e, std::vector<bool>& page_used) {
        std::string expected, seen;
        bool met = false;
        switch (e.Kind) {
        case ExpectKind::Removed: {
            expected = Quoted(e.Charge) + " removed" +
                       (e.By == Rule::None ? "" : std::string(" by ") + Rule_Name(e.By));
            auto it = verdicts_.find(e.Charge);
            met = it != verdicts_.end() && it->second.Removed &&
                  (e.By == Rule::None || it->second.By == e.By);
            seen = Seen_Of(e.Charge);
            break;
        }
        case ExpectKind::Stays: {
            expected = Quoted(e.Charge) + " stays";
            auto it = verdicts_.find(e.Charge);
            met = it != verdicts_.end() && !it->second.Removed;
            seen = Seen_Of(e.Charge);
            break;
        }
        case ExpectKind::Page:
            expected = "the page \"" + e.Line + "\"";
            for (size_t i = 0; i < console_lines_.size() && !met; ++i)
                if (!page_used[i] && console_lines_[i] == e.Line)
                    met = page_used[i] = true;
            seen = met ? "it was sent" : Pages_Seen();
            break;
        case ExpectKind::Page_Count:
            expected = std::to_string(e.Count) + (e.Count == 1 ? " page" : " pages");
            met = console_lines_.size() == e.Count;
            seen = Pages_Seen();
            break;
        }
        ++result_.Expectations;
        if (!met)
            ++result_.Failed_Expectations;
        const std::string where = To_String(e.At);
        report_(
            {"expectation",
             -1,
             met ? where + ": met: " + expected
                 : where + ": expectation FAILED\nexpected: " + expected + "\nseen:     " + seen,
             {Text_Field("at", where), Flag_Field("met", met), Text_Field("expected", expected),
              Text_Field("seen", seen)}});
    }

    void Summarise() {
        report_(health_);
        std::vector<bool> page_used(console_lines_.size(), false);
        for (const Expectation& e : scenario_.Expectations)
            Check(e, page_used);
        const size_t unjudged = placed_ - removed_ - kept_;
        std::string text =
            "summary: " + std::to_string(placed_) + (placed_ == 1 ? " charge" : " charges") +
            " placed, " + std::to_string(removed_) + " removed, " + std::to_string(kept_) +
            " stayed" + (unjudged ? ", " + std::to_string(unjudged) + " never judged" : "") + "; " +
            std::to_string(pages_) + (pages_ == 1 ? " page" : " pages") + " sent";
        if (result_.Expectations)
            text += "; " + std::to_string(result_.Expectations - result_.Failed_Expectations) +
                    " of " + std::to_string(result_.Expectations) + " expectations met";
        report_({"summary",
                 -1,
                 text,
                 {Number_Field("placed", static_cast<double>(placed_)),
                  Number_Field("removed", static_cast<double>(removed_)),
                  Number_Field("stayed", static_cast<double>(kept_)),
                  Number_Field("never_judged", static_cast<double>(unjudged)),
                  Number_Field("pages", static_cast<double>(pages_)),
                  Number_Field("expectations", static_cast<double>(result_.Expectations)),
                  Number_Field("failed", static_cast<double>(result_.Failed_Expectations)),
                  Flag_Field("healthy", result_.Health_Problems == 0)}});
        result_.Played = true;
    }

    MatchResult Fail() {
        if (loaded_) {
            // SSGM unloads a plugin it described, started or not.
            if (described_)
                plugin_.Exports().Plugin_Unload();
            if (world_)
                world_->Destroy_All_Objects();
            plugin_.Unload();
            loaded_ = false;
        }
        report_(
            {"error", -1, "cannot play: " + result_.Error, {Text_Field("error", result_.Error)}});
        return result_;
    }

    const Scenario& scenario_;
    PluginSource& plugin_;
    const MatchOptions& options_;
    const Event_Sink& report_;
    MatchResult result_;

    std::string section_;
    std::string settings_text_;
    bool has_settings_file_ = false;
    std::string settings_source_;
    SettingsReport settings_;

    standin::World* world_ = nullptr;
    BhsModule bhs_;
    standin::HostSettingsRecord host_settings_;
    standin::HostContextRecord host_context_;
    bool loaded_ = false, described_ = false;
    size_t blocks_at_load_ = 0;
    size_t log_seen_ = 0;
    Event health_;

    MatchWorld model_;
    std::map<std::string, ServerObject> objects_;
    std::map<ServerObject, std::string> charge_of_;
    std::vector<PendingTimer> pending_;
    size_t timers_seen_ = 0, console_seen_ = 0, removed_seen_ = 0;
    std::map<std::string, Verdict> verdicts_;
    size_t placed_ = 0, removed_ = 0, kept_ = 0, pages_ = 0;
    std::vector<std::string> console_lines_; // every line the console received
};

} // namespace

MatchResult Play_Match(const Scenario& scenario, PluginSource& plugin, const MatchOptions& options,
                       const Event_Sink& report) {
    return Match(scenario, plugin, options, report).Play();
}

int Exit_Code(const MatchResult& result) {
    if (!result.Played)
        return 2;
    return result.Failed_Expectations || result.Health_Problems ? 1 : 0;
}

} // namespace sim
