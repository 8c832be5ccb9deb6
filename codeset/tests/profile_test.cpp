// LEXORA.INI through the settings helpers. One table of cases holds the expectations; the native
// build passes it with its own profile file code, the Windows build with the platform's
// private-profile functions.
#include "cpconv.h"
#include "testutil.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

using GetDirectoryFunction = int(WINAPI*)(char*, int);
using GetStringFunction = int(WINAPI*)(const char*, const char*, const char*, char*, int);
using WriteStringFunction = int(WINAPI*)(const char*, const char*, const char*);
using GetIntFunction = int(WINAPI*)(const char*, const char*, int);
using WriteIntFunction = int(WINAPI*)(const char*, const char*, int);

// The helpers of a copy of cpconv in a directory of its own, where its LEXORA.INI lives.
struct Settings {
    template <typename Function> Function symbol(const char* name) const {
        return reinterpret_cast<Function>(copy.symbol(name));
    }

    bool ready() const {
        return copy.loaded() && getDirectory && getString && writeString && getInt && writeInt;
    }

    std::string directory() const {
        char buffer[300];
        int length = getDirectory(buffer, sizeof buffer);
        return std::string(buffer, length);
    }

    fs::path file() const { return fs::path(directory()) / "LEXORA.INI"; }

    // The file as a case starts it: none, a directory in its place, or the given bytes. Whatever
    // the platform keeps of the old file is dropped first.
    void prepare(const std::optional<std::string>& contents, bool directoryInstead) const {
        writeString(nullptr, nullptr, nullptr);
        fs::remove_all(file());
        if (directoryInstead) fs::create_directory(file());
        if (contents) std::ofstream(file(), std::ios::binary) << *contents;
    }

    std::optional<std::string> contents() const {
        if (!fs::is_regular_file(file())) return std::nullopt;
        std::ifstream in(file(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    LibraryCopy copy{std::vector<std::string>{}};
    GetDirectoryFunction getDirectory = symbol<GetDirectoryFunction>("LX_GetDirectory");
    GetStringFunction getString = symbol<GetStringFunction>("LX_GetProfileString");
    WriteStringFunction writeString = symbol<WriteStringFunction>("LX_WriteProfileString");
    GetIntFunction getInt = symbol<GetIntFunction>("LX_GetProfileInt");
    WriteIntFunction writeInt = symbol<WriteIntFunction>("LX_WriteProfileInt");
};

enum class Operation { Get, GetInt, Write, WriteInt };

struct Step {
    Operation operation;
    const char* section;
    const char* key;
    const char* text; // Get: the default; Write: the value
    int number;       // Get: the buffer size; GetInt: the default; WriteInt: the value
    int result;
    const char* read; // Get: what the buffer holds
};

Step get(const char* section, const char* key, const char* fallback, const char* read,
         int size = 64) {
    return {
        Operation::Get, section, key, fallback, size, static_cast<int>(std::strlen(read)), read};
}

Step getInt(const char* section, const char* key, int fallback, int result) {
    return {Operation::GetInt, section, key, nullptr, fallback, result, nullptr};
}

Step write(const char* section, const char* key, const char* value, int result = 1) {
    return {Operation::Write, section, key, value, 0, result, nullptr};
}

Step writeInt(const char* section, const char* key, int value) {
    return {Operation::WriteInt, section, key, nullptr, value, 1, nullptr};
}

// What the file holds after the steps.
enum class After { Absent, Unchanged, Equals, NotCompared };

struct Case {
    const char* name;
    std::optional<std::string> before;
    std::vector<Step> steps;
    After after;
    std::string expected = {};
    bool directoryInstead = false;
};

const std::vector<Case>& cases() {
    static const std::vector<Case> all = {
        // Reading.
        {"a missing file gives the defaults",
         std::nullopt,
         {get("Start Up", "Hide Main Window", "0", "0"), get("System", "History File", nullptr, ""),
          getInt("System", "Face Style", 7, 7), getInt("System", "Face Style", -2, -2)},
         After::Absent},
        {"names without regard to case, spaces around names and values trimmed",
         "[System]\r\n  Face Style  =  1  \r\nsound alert=0\r\n",
         {get("SYSTEM", "face style", "-", "1"), get("  system ", " SOUND ALERT\t", "-", "0"),
          get("System", "Sound", "-", "-"), get("Sys", "Face Style", "-", "-")},
         After::Unchanged},
        {"values in matching quotes lose them",
         "[Q]\r\nd=\"a b\"\r\ns='x'\r\nopen=\"abc\r\nlone=\"\r\nmixed='abc\"\r\n"
         "inner=\"ab\"cd\"\r\nempty=\"\"\r\n",
         {get("Q", "d", "-", "a b"), get("Q", "s", "-", "x"), get("Q", "open", "-", "\"abc"),
          get("Q", "lone", "-", "\""), get("Q", "mixed", "-", "'abc\""),
          get("Q", "inner", "-", "ab\"cd"), get("Q", "empty", "-", "")},
         After::Unchanged},
        {"a small buffer receives size - 1 bytes",
         "[S]\r\nlong=abcdef\r\nq=\"abcdef\"\r\n",
         {get("S", "long", "-", "abc", 4), get("S", "long", "-", "a", 2),
          get("S", "long", "-", "", 1), get("S", "q", "-", "abc", 4),
          get("S", "missing", "fallback", "fal", 4)},
         After::Unchanged},
        {"defaults lose trailing spaces and quotes; a key without value takes the default",
         "[S]\r\nflag\r\nempty=\r\n",
         {get("S", "x", "dflt  ", "dflt"), get("S", "x", "\"qq\"", "qq"),
          get("S", "x", "  lead", "  lead"), get("S", "flag", "d", "d"), get("S", "empty", "d", ""),
          getInt("S", "empty", 4, 4)},
         After::Unchanged},
        {"the first section and the first key of a name count",
         "top=1\r\n[A]\r\nx=1\r\nx=2\r\n[A]\r\ny=3\r\n",
         {get("A", "x", "-", "1"), get("A", "y", "-", "-"), get("A", "top", "-", "-"),
          get("", "top", "-", "1")},
         After::Unchanged},
        {"section headers",
         "  [ Catch Word ]  junk\r\nk=1\r\n[Broken\r\nv=2\r\n[D]]\r\nu=3\r\n",
         {get("Catch Word", "k", "-", "1"), get("Catch Word", "v", "-", "2"),
          get("Broken", "v", "-", "-"), get("D]", "u", "-", "3")},
         After::Unchanged},
        {"NUL bytes, LF lines, a very long line and no final line ending",
         "[N]\nnul=x\0y\nlong="s + std::string(100000, 'z') + "\nafter=2\n[T]\nlast=9",
         {get("N", "nul", "-", "x"), get("N", "long", "-", "zzzzzzz", 8),
          get("N", "after", "-", "2"), get("T", "last", "-", "9")},
         After::Unchanged},
        {"integers",
         "[I]\r\nhex=0x10\r\nneg=-5\r\nplus=+7\r\ntail=12abc\r\nword=abc\r\nempty=\r\n"
         "wrap=4294967296\r\nbig=2147483648\r\nlead=010\r\nbin=0b101\r\nupper=0X1f\r\n"
         "negHex=-0x1F\r\nquoted=\"12\"\r\ngap=- 5\r\nlong=12345678901234567890123456789012345\r\n",
         {getInt("I", "hex", 77, 16), getInt("I", "neg", 77, -5), getInt("I", "plus", 77, 7),
          getInt("I", "tail", 77, 12), getInt("I", "word", 77, 0), getInt("I", "empty", 77, 77),
          getInt("I", "wrap", 77, 0), getInt("I", "big", 77, -2147483647 - 1),
          getInt("I", "lead", 77, 10), getInt("I", "bin", 77, 5), getInt("I", "upper", 77, 0),
          getInt("I", "negHex", 77, -31), getInt("I", "quoted", 77, 12), getInt("I", "gap", 77, 0),
          getInt("I", "long", 77, 1849262357), getInt("I", "missing", 77, 77)},
         After::Unchanged},
        {"a directory in the file's place",
         std::nullopt,
         {get("A", "x", "d", "d"), getInt("A", "x", 3, 3), write("A", "x", "1", 0)},
         After::NotCompared,
         {},
         true},

        // Writing, to files laid out as the platform writes them.
        {"a write creates the file",
         std::nullopt,
         {write("Start Up", "Hide Main Window", "0")},
         After::Equals,
         "[Start Up]\r\nHide Main Window=0\r\n"},
        {"a new key goes to the end of its section, a new section to the end of the file",
         "; LEXORA\r\n[A]\r\nx=1\r\n; note\r\n[B]\r\ny=2",
         {write("a", "z", "3"), write("C", "w", "4")},
         After::Equals,
         "; LEXORA\r\n[A]\r\nx=1\r\n; note\r\nz=3\r\n[B]\r\ny=2\r\n[C]\r\nw=4\r\n"},
        {"a changed value keeps the key's spelling and loses leading spaces; a key gets a value",
         "[System]\r\nFace Style=1\r\nUse Chinese=1\r\nflag\r\n",
         {write("system", "FACE STYLE", " \t0 x"), get("System", "Face Style", "-", "0 x"),
          write("System", "flag", "5")},
         After::Equals,
         "[System]\r\nFace Style=0 x\r\nUse Chinese=1\r\nflag=5\r\n"},
        {"writing the value a key has leaves the file alone",
         "[A]\n\tx = 1 \n",
         {write("A", "x", "1"), write("A", "x", "  1")},
         After::Unchanged},
        {"a null value deletes the key, a null key the section with all its lines",
         "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n; about B\r\n[C]\r\nw=4\r\n",
         {write("A", "x", nullptr), write("b", nullptr, nullptr), get("C", "w", "-", "4")},
         After::Equals,
         "[A]\r\ny=2\r\n[C]\r\nw=4\r\n"},
        {"deleting the last key keeps the section; deleting what is not there changes nothing",
         "[A]\r\nx=1\r\n",
         {write("A", "x", nullptr), write("A", "q", nullptr), write("Q", nullptr, nullptr),
          write("Q", "k", nullptr)},
         After::Equals,
         "[A]\r\n"},
        {"a key missing from the first section of a name is deleted from the next",
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[A]\r\nz=3\r\n",
         {write("A", "z", nullptr)},
         After::Equals,
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[A]\r\n"},
        {"deleting from a missing file creates none",
         std::nullopt,
         {write("A", "x", nullptr), write("A", nullptr, nullptr)},
         After::Absent},
        {"a null section is refused",
         "[A]\r\nx=1\r\n",
         {write(nullptr, "x", "2", 0), write(nullptr, nullptr, nullptr, 0)},
         After::Unchanged},
        {"LX_WriteProfileInt writes signed decimal",
         std::nullopt,
         {writeInt("S", "neg", -5), writeInt("S", "zero", 0), writeInt("S", "max", 2147483647),
          getInt("S", "neg", 0, -5), get("S", "neg", "", "-5")},
         After::Equals,
         "[S]\r\nneg=-5\r\nzero=0\r\nmax=2147483647\r\n"},
        {"keys before the first section belong to the section \"\"",
         "top=1\r\n[A]\r\nx=1\r\n",
         {write("", "k", "v"), write("", "x", nullptr), write("", "top", nullptr),
          write("A", "y", "")},
         After::Equals,
         "k=v\r\n[A]\r\nx=1\r\ny=\r\n"},
        {"deleting the section \"\" deletes the lines before the first header",
         "top=1\r\n; about A\r\n[A]\r\nx=1\r\n",
         {write("", nullptr, nullptr), write("", nullptr, nullptr), write("", "x", nullptr)},
         After::Equals,
         "[A]\r\nx=1\r\n"},

        // Writing to a file laid out otherwise: the platform may lay the whole file out anew,
        // so only what reads back is compared.
        {"LF lines, blank lines and spaces",
         "; LEXORA\n\n[A]\n  x = 1  \n\n[B]\ny=2\n",
         {write("A", "z", "3"), write("B", "y", "5"), get("A", "x", "-", "1"),
          get("A", "z", "-", "3"), get("B", "y", "-", "5")},
         After::NotCompared},
    };
    return all;
}

class Profile : public testing::Test {
  protected:
    static void SetUpTestSuite() { settings = std::make_unique<Settings>(); }
    static void TearDownTestSuite() { settings.reset(); }

    void SetUp() override { ASSERT_TRUE(settings->ready()); }

    static void run(const Step& step) {
        const Settings& s = *settings;
        switch (step.operation) {
        case Operation::Get: {
            char buffer[80];
            std::memset(buffer, '*', sizeof buffer);
            EXPECT_EQ(s.getString(step.section, step.key, step.text, buffer, step.number),
                      step.result);
            EXPECT_STREQ(buffer, step.read);
            EXPECT_EQ(buffer[step.number], '*') << "written past the size";
            break;
        }
        case Operation::GetInt:
            EXPECT_EQ(s.getInt(step.section, step.key, step.number), step.result);
            break;
        case Operation::Write:
            EXPECT_EQ(s.writeString(step.section, step.key, step.text), step.result);
            break;
        case Operation::WriteInt:
            EXPECT_EQ(s.writeInt(step.section, step.key, step.number), step.result);
            break;
        }
    }

    static void checkFile(const Case& c) {
        std::optional<std::string> now = settings->contents();
        switch (c.after) {
        case After::Absent:
            EXPECT_FALSE(fs::exists(settings->file()));
            break;
        case After::Unchanged:
            EXPECT_EQ(now, c.before);
            break;
        case After::Equals:
            EXPECT_EQ(now, c.expected);
            break;
        case After::NotCompared:
            break;
        }
    }

    static std::unique_ptr<Settings> settings;
};

std::unique_ptr<Settings> Profile::settings;

TEST_F(Profile, TableOfCases) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        settings->prepare(c.before, c.directoryInstead);
        for (size_t i = 0; i < c.steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i + 1));
            run(c.steps[i]);
        }
        checkFile(c);
    }
    settings->prepare(std::nullopt, false);
}

TEST_F(Profile, DirectoryIsCutToTheBuffer) {
    std::string directory = settings->directory();
    ASSERT_GT(directory.size(), 3u);
    EXPECT_TRUE(directory.back() == '/' || directory.back() == '\\');
    EXPECT_TRUE(fs::is_directory(directory));

    char buffer[8] = "*******";
    EXPECT_EQ(settings->getDirectory(buffer, 4), 3);
    EXPECT_EQ(std::string(buffer, 5), directory.substr(0, 3) + "\0*"s);
    EXPECT_EQ(settings->getDirectory(buffer, 1), 0);
    EXPECT_EQ(buffer[0], '\0');
    buffer[0] = '*';
    EXPECT_EQ(settings->getDirectory(buffer, 0), 0);
    EXPECT_EQ(settings->getDirectory(buffer, -1), 0);
    EXPECT_EQ(settings->getDirectory(nullptr, 8), 0);
    EXPECT_EQ(buffer[0], '*');
}

TEST_F(Profile, ReadsRefuseBuffersThatCannotHoldAnything) {
    settings->prepare("[A]\r\nx=1\r\n"s, false);
    char buffer[4] = "***";
    EXPECT_EQ(settings->getString("A", "x", "d", buffer, 0), 0);
    EXPECT_EQ(settings->getString("A", "x", "d", buffer, -1), 0);
    EXPECT_EQ(settings->getString("A", "x", "d", nullptr, 4), 0);
    EXPECT_STREQ(buffer, "***");
    settings->prepare(std::nullopt, false);
}

#ifndef _WIN32
// The native build edits only the lines it must: every other byte stays, and new lines take the
// file's line endings.
TEST_F(Profile, OtherLinesStayByteForByte) {
    settings->prepare("; LEXORA\n\n[A]\n  x = 1  \n\n[B]\ny=2\n\n[C]\nw=1\n"s, false);
    EXPECT_EQ(settings->writeString("A", "z", "3"), 1);
    EXPECT_EQ(settings->writeString("B", "y", "5"), 1);
    EXPECT_EQ(settings->writeString("C", nullptr, nullptr), 1);
    EXPECT_EQ(settings->writeString("D", "v", "6"), 1);
    EXPECT_EQ(settings->contents(), "; LEXORA\n\n[A]\n  x = 1  \nz=3\n\n[B]\ny=5\n\n[D]\nv=6\n");
    settings->prepare(std::nullopt, false);
}

// A quoted value that just fits keeps its last byte (the platform under test drops it).
TEST_F(Profile, QuotedValueThatJustFits) {
    settings->prepare("[S]\r\nq=\"abc\"\r\n"s, false);
    char buffer[4];
    EXPECT_EQ(settings->getString("S", "q", "-", buffer, sizeof buffer), 3);
    EXPECT_STREQ(buffer, "abc");
    settings->prepare(std::nullopt, false);
}

// A file far larger than any settings file is damaged: its beginning is still read, but it is
// never rewritten.
TEST_F(Profile, OversizedFileIsReadButNotRewritten) {
    std::string huge = "[A]\r\nx=1\r\n; " + std::string(3 << 20, 'z') + "\r\n[B]\r\ny=2\r\n";
    settings->prepare(huge, false);
    EXPECT_EQ(settings->getInt("A", "x", 0), 1);
    EXPECT_EQ(settings->getInt("B", "y", 0), 0);
    EXPECT_EQ(settings->writeString("A", "x", "2"), 0);
    EXPECT_EQ(settings->contents(), huge);
    settings->prepare(std::nullopt, false);
}

// A write goes through a temporary file that is gone afterwards, whether the write succeeded or
// not.
TEST_F(Profile, WritesLeaveNoTemporaryFile) {
    auto filesBeside = [] {
        fs::directory_iterator files(settings->directory());
        return std::distance(fs::begin(files), fs::end(files));
    };
    settings->prepare(std::nullopt, false);
    auto before = filesBeside();
    EXPECT_EQ(settings->writeString("A", "x", "1"), 1);
    EXPECT_EQ(filesBeside(), before + 1);
    settings->prepare(std::nullopt, true);
    EXPECT_EQ(settings->writeString("A", "x", "1"), 0);
    EXPECT_EQ(filesBeside(), before + 1);
    settings->prepare(std::nullopt, false);
}
#endif

} // namespace
