// Settings files built at random (with fixed seeds) from what an operator's editor, a
// bad copy or a full disk can leave behind: huge and signed numbers, texts with '%' and
// format directives, over-long lines and values, bytes above 127, NULs, CRs, binary
// junk, sections missing, doubled or left open. Whatever the file, loading must not
// crash or write past a buffer, and the record must keep its invariants: every text at
// most 499 characters, each flag set exactly when its text is not "-1", one change line
// at most per load, and every block and INI object given back.
#include "config/c4_rule_settings.h"
#include "config/settings_loading.h"
#include "host_files_test.h"

#include <random>
#include <string>
#include <vector>

namespace {

const char* const Keys[] = {"TimedC4Limit",
                            "RemoteC4Limit",
                            "TimedC4Stacked",
                            "RemoteC4Stacked",
                            "ActivationWaitTime",
                            "PPAGE_Message",
                            "RemoteC4Stacked_Message",
                            "TimedC4Stacked_Message",
                            "RemoteC4Limit_Message",
                            "TimedC4Limit_Message"};

class RandomSettingsFile : public HostFilesTest, public ::testing::WithParamInterface<unsigned> {
  protected:
    void TearDown() override {
        delete Settings;
        Settings = nullptr;
        HostFilesTest::TearDown();
    }

    size_t Below(size_t n) { return random_() % n; }

    std::string Junk(size_t length) {
        std::string bytes;
        for (size_t i = 0; i < length; ++i)
            bytes += static_cast<char>(random_() & 0xff);
        return bytes;
    }

    std::string Section() {
        const char* const sections[] = {
            "[General]", "[C&C_Field.mix]", "[general]", "[ C&C_Field.mix ]", "[General",
            "[]",        "[Other]"};
        return sections[Below(7)];
    }

    std::string Value() {
        switch (Below(12)) {
        case 0:
            return "99999999999999999999999";
        case 1:
            return "-2147483649";
        case 2:
            return "2147483647";
        case 3:
            return "%s%s%s%n%n%x%p%99999d";
        case 4:
            return "-1";
        case 5:
            return "";
        case 6:
            return std::string(400 + Below(800), 'v');
        case 7:
            return std::string(1, '\0') + "after a NUL";
        case 8:
            return "text\rwith\rCRs\r";
        case 9:
            return "\x80\xc4\xe9\xff high bytes";
        case 10:
            return Junk(Below(600));
        default:
            return std::to_string(static_cast<int>(random_()));
        }
    }

    std::string File() {
        std::string file;
        const size_t lines = Below(60);
        for (size_t i = 0; i < lines; ++i) {
            switch (Below(8)) {
            case 0:
                file += Section();
                break;
            case 1:
                file += Junk(Below(200));
                break;
            case 2:
                file += std::string(3000 + Below(3000), Below(2) ? '=' : 'k');
                break;
            default:
                file += std::string(Below(3) == 0 ? " " : "") + Keys[Below(10)] + "=" + Value();
                break;
            }
            file += Below(5) == 0 ? "\r\n" : "\n";
        }
        if (Below(4) == 0)
            file.resize(Below(file.size() + 1)); // cut off anywhere
        return file;
    }

    // The record's invariants once loaded and armed.
    static void Expect_Invariants(const C4RuleSettings& s) {
        const Text* texts[] = {&s.PPAGE_Message, &s.TimedC4Limit_Message, &s.RemoteC4Limit_Message,
                               &s.TimedC4Stacked_Message, &s.RemoteC4Stacked_Message};
        const bool flags[] = {s.PPAGE_Message_Enabled, s.TimedC4Limit_Message_Enabled,
                              s.RemoteC4Limit_Message_Enabled, s.TimedC4Stacked_Message_Enabled,
                              s.RemoteC4Stacked_Message_Enabled};
        for (size_t i = 0; i < 5; ++i) {
            SCOPED_TRACE("text " + std::to_string(i));
            const std::string text(texts[i]->Chars(), texts[i]->Length());
            EXPECT_LE(text.size(), 499u);
            EXPECT_EQ(text.find('\0'), std::string::npos);
            EXPECT_EQ(flags[i], text != "-1") << text;
        }
    }

    std::mt19937 random_;
};

TEST_P(RandomSettingsFile, loading_keeps_the_records_invariants_and_gives_everything_back) {
    random_.seed(GetParam());
    Settings = new C4RuleSettings;
    ASSERT_NE(Settings, nullptr);
    // Two loads into one record, as two plugin starts would read an edited file.
    for (int load = 0; load < 2; ++load) {
        SCOPED_TRACE("load " + std::to_string(load));
        if (Below(6) != 0)
            Write_File("tarnwick.ini", File());
        const size_t lines_before = Log_Lines().size();
        Load_Settings();
        Set_Message_Flags();
        Expect_Invariants(*Settings);
        EXPECT_LE(Log_Lines().size() - lines_before, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSettingsFile, ::testing::Range(1u, 31u));

} // namespace
