// Parameter texts built at random (with fixed seeds) as a server or a map maker may hand
// them to a script: empty, commas only, very long, with line ends anywhere and bytes
// above 127. Each is parsed into a script and joined back into buffers of every kind of
// size with guard bytes on both sides: the join never writes outside its size and its
// terminator, gives the parsed text back when there is room, and a prefix of it when
// there is not.
#include "scripts/script_registry.h"
#include "standin/script_slots.h"
#include "standin_test.h"

#include <random>
#include <string>
#include <vector>

namespace {

using namespace standin;

class RandomParameters : public StandinTest, public ::testing::WithParamInterface<unsigned> {
  protected:
    size_t Below(size_t n) { return random_() % n; }

    std::string Piece() {
        switch (Below(9)) {
        case 0:
            return "";
        case 1:
            return ",";
        case 2:
            return std::string(1 + Below(40), ',');
        case 3:
            return "\n";
        case 4:
            return "\r\n";
        case 5:
            return "\xc4\xe9\xff\x80";
        case 6:
            return std::string(Below(3000), 'p');
        case 7:
            return " spaced , out ";
        default: {
            std::string bytes;
            for (size_t i = Below(30); i > 0; --i)
                bytes += static_cast<char>(1 + Below(255)); // any byte but NUL
            return bytes;
        }
        }
    }

    std::string Text() {
        std::string text;
        for (size_t i = Below(12); i > 0; --i)
            text += Piece();
        return text;
    }

    // Joins into a buffer of `size` + 1 bytes inside guards; the guards must stay intact.
    static std::string Join(ScriptClass* script, int32_t size) {
        constexpr size_t Guard = 16;
        std::vector<char> buffer(Guard + static_cast<size_t>(size) + 1 + Guard, '#');
        char* start = buffer.data() + Guard;
        Script_Join_Parameters(script, start, size);
        for (size_t i = 0; i < buffer.size(); ++i)
            if (i < Guard || i >= Guard + static_cast<size_t>(size) + 1) {
                EXPECT_EQ(buffer[i], '#') << "join wrote outside its buffer at " << i;
            }
        const size_t length = strnlen(start, static_cast<size_t>(size) + 1);
        EXPECT_LE(length, static_cast<size_t>(size)) << "no terminator within the size";
        return std::string(start, length);
    }

    std::mt19937 random_;
};

TEST_P(RandomParameters, a_parsed_text_joins_back_within_every_size) {
    random_.seed(GetParam());
    ScriptClass* script = Create_Script("Brask_Tarnwick");
    ASSERT_NE(script, nullptr);
    std::string parsed; // what the script holds: the last non-empty text, one LF off its end
    for (int round = 0; round < 6; ++round) {
        const std::string text = Text();
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(text.size()) +
                     " bytes");
        Script_Parse_Parameters(script, text.c_str());
        if (!text.empty())
            parsed = text.back() == '\n' ? text.substr(0, text.size() - 1) : text;

        const int32_t room = static_cast<int32_t>(parsed.size());
        EXPECT_EQ(Join(script, room), parsed);
        EXPECT_EQ(Join(script, room + 7), parsed);
        for (int cut = 0; cut < 8; ++cut) {
            const int32_t size = static_cast<int32_t>(Below(parsed.size() + 1));
            const std::string joined = Join(script, size);
            EXPECT_EQ(parsed.compare(0, joined.size(), joined), 0)
                << "not a prefix at size " << size;
        }
    }
    Script_Destroy(script, Destroy_Free_Block);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomParameters, ::testing::Range(1u, 31u));

} // namespace
