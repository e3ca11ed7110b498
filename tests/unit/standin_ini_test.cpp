// The stand-in's INI routines: the syntax README.md documents, the integer reader, and a
// text written into the caller's buffer without going past its size.
#include "standin/ini.h"

#include "scratch_directory.h"
#include "standin_test.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

class StandinIni : public StandinTest {
  protected:
    void TearDown() override {
        if (ini_)
            standin::INI_Release(ini_);
        StandinTest::TearDown();
    }
    void Load(const std::string& bytes) {
        Write_File("data/test.ini", bytes);
        ini_ = standin::INI_Load("test.ini");
    }
    std::string String(const char* section, const char* key, const char* default_value = "-") {
        char buffer[20000];
        standin::INI_Get_String(ini_, section, key, default_value, buffer, sizeof buffer);
        return buffer;
    }
    int32_t Int(const char* section, const char* key) {
        return standin::INI_Get_Int(ini_, section, key, -99);
    }

    ScratchDirectory directory;
    void* ini_ = nullptr;
};

TEST_F(StandinIni, the_syntax_reads_as_documented) {
    const std::string long_value(10000, 'v');
    Load("Orphan=before any section\n"
         "[General]\r\n"
         "  Spaced  =  a value with  inner  blanks \t\r\n"
         "; Commented=1\n"
         "   # Hashed=1\n"
         "Inline=text ; not a comment\n"
         "Twice=first\n"
         "Twice=second\n"
         "NoEquals\n"
         "=no key\n"
         "Empty=\n"
         "High=\xc3\xa4\xff\n"
         "Long=" +
         long_value +
         "\n"
         "[Broken\n"
         "AfterBroken=still General\n"
         "[ Map ] trailing text\n"
         "Key=map\n"
         "[general]\n"
         "Twice=third\n"
         "Merged=yes");
    struct Row {
        const char* section;
        const char* key;
        std::string value; // "-" is the default: not found
    } rows[] = {
        {"General", "Orphan", "-"},
        {"General", "Spaced", "a value with  inner  blanks"},
        {"GENERAL", "spaced", "a value with  inner  blanks"},
        {"General", "Commented", "-"},
        {"General", "Hashed", "-"},
        {"General", "Inline", "text ; not a comment"},
        {"General", "Twice", "first"},
        {"General", "NoEquals", "-"},
        {"General", "", "-"},
        {"General", "Empty", ""},
        {"General", "High", "\xc3\xa4\xff"},
        {"General", "Long", long_value},
        {"General", "AfterBroken", "still General"},
        {"Map", "Key", "map"},
        {"General", "Merged", "yes"},
        {"Other", "Key", "-"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.section) + "/" + row.key);
        EXPECT_EQ(String(row.section, row.key), row.value);
    }
}

TEST_F(StandinIni, the_integer_reader_takes_the_leading_number_like_atoi) {
    Load("[N]\nPlain=42\nSigned=-7\nPlus=+5\nTrailing=12abc\nText=abc\nEmpty=\nHex=0x10\n"
         "Big=99999999999\nSmall=-99999999999\nLowest=-2147483648\n");
    struct Row {
        const char* key;
        int32_t value;
    } rows[] = {{"Plain", 42},        {"Signed", -7},        {"Plus", 5},     {"Trailing", 12},
                {"Text", 0},          {"Empty", 0},          {"Hex", 0},      {"Big", INT32_MAX},
                {"Small", INT32_MIN}, {"Lowest", INT32_MIN}, {"Missing", -99}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(Int("N", row.key), row.value);
    }
}

TEST_F(StandinIni, a_text_never_goes_past_the_buffer_and_is_always_terminated) {
    Load("[S]\nKey=abcdef\n");
    for (uint32_t size : {0u, 1u, 4u, 6u, 7u, 8u}) {
        SCOPED_TRACE(size);
        char buffer[16];
        std::memset(buffer, '#', sizeof buffer);
        standin::INI_Get_String(ini_, "S", "Key", "", buffer, size);
        const std::string expected = size ? std::string("abcdef").substr(0, size - 1) : "";
        if (size) {
            EXPECT_STREQ(buffer, expected.c_str());
        }
        const size_t written = size ? expected.size() + 1 : 0;
        EXPECT_EQ(std::string(buffer + written, sizeof buffer - written),
                  std::string(sizeof buffer - written, '#'));
    }
}

TEST_F(StandinIni, a_missing_file_gives_an_empty_object_and_each_object_is_counted) {
    ini_ = standin::INI_Load("missing.ini");
    ASSERT_NE(ini_, nullptr);
    EXPECT_EQ(String("General", "Key", "fallback"), "fallback");
    EXPECT_EQ(standin::Ini_Counts().Live, 1u);
    standin::INI_Release(ini_);
    ini_ = nullptr;
    EXPECT_EQ(standin::Ini_Counts().Live, 0u);
    EXPECT_EQ(standin::Ini_Counts().Releases, 1u);
}

} // namespace
