// What the simulator reports, one event at a time, printed either as readable lines or as
// JSON lines (one object per event, the same facts).
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace sim {

// One named fact of an event, its value already in JSON form.
struct Field {
    std::string Name;
    std::string Json;
};
Field Text_Field(const std::string& name, const std::string& value);
Field Number_Field(const std::string& name, double value);
Field Flag_Field(const std::string& name, bool value);
Field Texts_Field(const std::string& name, const std::vector<std::string>& values);

struct Event {
    std::string Type;   // "plugin", "placed", "judged", "summary", ...
    double Time = -1;   // seconds into the match; negative for events outside it
    std::string Text{}; // the readable form; further lines are details
    std::vector<Field> Fields{};
};

// Seconds as the timeline shows them: "0", "1.5", "2.25".
std::string Seconds_Text(double seconds);

void Print_Text(std::ostream& out, const Event& event);
void Print_Json(std::ostream& out, const Event& event);

} // namespace sim
