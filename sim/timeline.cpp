#include "sim/timeline.h"

#include <cmath>
#include <cstdio>

namespace sim {

namespace {

std::string Json_Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                // Bytes above 127 pass through: settings texts are bytes, not a known
                // encoding.
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

} // namespace

Field Text_Field(const std::string& name, const std::string& value) {
    return {name, Json_Quoted(value)};
}

Field Number_Field(const std::string& name, double value) {
    char text[40];
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        std::snprintf(text, sizeof text, "%.0f", value);
    else
        std::snprintf(text, sizeof text, "%.17g", value);
    return {name, text};
}

Field Flag_Field(const std::string& name, bool value) {
    return {name, value ? "true" : "false"};
}

Field Texts_Field(const std::string& name, const std::vector<std::string>& values) {
    std::string json = "[";
    for (size_t i = 0; i < values.size(); ++i)
        json += (i ? "," : "") + Json_Quoted(values[i]);
    return {name, json + "]"};
}

std::string Seconds_Text(double seconds) {
    char text[40];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    std::string s = text;
    while (!s.empty() && s.back() == '0')
        s.pop_back();
    if (!s.empty() && s.back() == '.')
        s.pop_back();
    return s;
}

void Print_Text(std::ostream& out, const Event& event) {
    // Moments of the match stand behind a column of times; everything else at the left.
    std::string first, more = "  ";
    if (event.Time >= 0) {
        first = Seconds_Text(event.Time) + "s";
        first = std::string(first.size() < 7 ? 7 - first.size() : 0, ' ') + first + "  ";
        more = std::string(first.size() + 2, ' ');
    }
    size_t start = 0;
    for (bool head = true;; head = false) {
        const size_t end = event.Text.find('\n', start);
        out << (head ? first : more) << event.Text.substr(start, end - start) << '\n';
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

void Print_Json(std::ostream& out, const Event& event) {
    out << "{\"event\":" << Json_Quoted(event.Type);
    if (event.Time >= 0)
        out << ",\"time\":" << Number_Field("time", event.Time).Json;
    for (const Field& field : event.Fields)
        out << "," << Json_Quoted(field.Name) << ":" << field.Json;
    out << ",\"text\":" << Json_Quoted(event.Text) << "}\n";
}

} // namespace sim
