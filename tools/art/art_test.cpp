#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "draw.h"
#include "encode.h"
#include "pictures.h"
#include "unifont.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace lexora::art;
using lexora::glyphs::Unifont;

uint32_t word32(const Bytes& bytes, size_t at) {
    uint32_t value;
    std::memcpy(&value, &bytes[at], 4);
    return value;
}

uint16_t word16(const Bytes& bytes, size_t at) {
    uint16_t value;
    std::memcpy(&value, &bytes[at], 2);
    return value;
}

const Unifont& realFont() {
    static const Unifont font = Unifont::load(UNIFONT_HEX_PATH);
    return font;
}

TEST(Bitmap16, HeaderPaletteAndPaddedRowsBottomUp) {
    Image image(3, 2, colour::kSilver);
    image.set(0, 0, {250, 5, 5}); // nearest to red, index 9
    image.set(2, 1, colour::kWhite);
    const Bytes file = encodeBitmap16(image);
    ASSERT_EQ(file.size(), 14u + 40u + 64u + 2 * 4u);
    EXPECT_EQ(word16(file, 0), 0x4D42);
    EXPECT_EQ(word32(file, 2), file.size());
    EXPECT_EQ(word32(file, 10), 118u);
    EXPECT_EQ(word16(file, 28), 4); // bits a pixel
    EXPECT_EQ(word32(file, 46), 16u);
    // Palette entry 9 is red as blue, green, red, 0.
    EXPECT_EQ(word32(file, 54 + 4 * 9), 0x00FF0000u);
    // The last row of the file is the top row of the picture.
    EXPECT_EQ(file[118 + 4], 0x97);
    EXPECT_EQ(file[118 + 5], 0x70);
    EXPECT_EQ(file[118], 0x77);
    EXPECT_EQ(file[119], 0xF0);
}

TEST(Bitmap24, RowsArePaddedToWords) {
    Image image(3, 1, {1, 2, 3});
    const Bytes file = encodeBitmap24(image);
    ASSERT_EQ(file.size(), 54u + 12u);
    EXPECT_EQ(word32(file, 10), 54u);
    EXPECT_EQ(word16(file, 28), 24);
    EXPECT_EQ(file[54], 3);
    EXPECT_EQ(file[56], 1);
    EXPECT_EQ(file[63], 0);
}

TEST(Bitmap, EmptyPictureIsRefused) {
    EXPECT_THROW(encodeBitmap16(Image(0, 4, colour::kBlack)), std::invalid_argument);
}

TEST(Icon, DirectoryEntriesAndMaskOfTransparentPixels) {
    IconPicture small{Image(16, 16, colour::kRed), std::vector<uint8_t>(256, 255)};
    small.alpha[0] = 0; // top-left transparent
    IconPicture large{Image(32, 32, colour::kBlue), std::vector<uint8_t>(1024, 255)};
    const Bytes file = encodeIcon({small, large});
    EXPECT_EQ(word16(file, 2), 1);
    ASSERT_EQ(word16(file, 4), 2);
    const uint32_t smallSize = 40 + 16 * 16 * 4 + 16 * 4;
    EXPECT_EQ(file[6], 16);
    EXPECT_EQ(word32(file, 6 + 8), smallSize);
    EXPECT_EQ(word32(file, 6 + 12), 6u + 2 * 16u);
    EXPECT_EQ(word32(file, 22 + 12), 6u + 2 * 16u + smallSize);
    EXPECT_EQ(file.size(), 6u + 2 * 16u + smallSize + 40 + 32 * 32 * 4 + 32 * 4);
    // The mask's last row is the picture's top row: its first pixel is transparent.
    const size_t mask = 6 + 2 * 16 + 40 + 16 * 16 * 4;
    EXPECT_EQ(file[mask], 0x00);
    EXPECT_EQ(file[mask + 15 * 4], 0x80);
}

TEST(Cursor, EntryHoldsThePoint) {
    const CursorPicture hand = handCursor();
    const Bytes file = encodeCursor(hand.picture, hand.hotX, hand.hotY);
    EXPECT_EQ(word16(file, 2), 2);
    EXPECT_EQ(word16(file, 6 + 4), hand.hotX);
    EXPECT_EQ(word16(file, 6 + 6), hand.hotY);
    EXPECT_THROW(encodeCursor(hand.picture, 32, 0), std::invalid_argument);
}

TEST(Icon, PictureThatIsNotSquareIsRefused) {
    IconPicture odd{Image(16, 8, colour::kRed), std::vector<uint8_t>(128, 255)};
    EXPECT_THROW(encodeIcon({odd}), std::invalid_argument);
}

TEST(Text, SmoothScalingJoinsDiagonalStrokes) {
    Mask diagonal(2, 2);
    diagonal.set(0, 0, 255);
    diagonal.set(1, 1, 255);
    const Mask scaled = smoothlyScaled(diagonal, 4);
    ASSERT_EQ(scaled.width(), 8);
    EXPECT_EQ(scaled.at(1, 1), 255);
    EXPECT_EQ(scaled.at(6, 6), 255);
    EXPECT_GT(scaled.at(4, 3), 0); // the step between them is filled
    EXPECT_EQ(scaled.at(7, 0), 0); // the far corners stay empty
    EXPECT_EQ(scaled.at(0, 7), 0);
    EXPECT_THROW(smoothlyScaled(diagonal, 0), std::invalid_argument);
}

TEST(Text, UnknownCharacterStaysBlank) {
    const Mask mask = textMask(realFont(), "A\xF3\xBF\xBF\xBF");
    ASSERT_EQ(mask.width(), 16);
    int inked = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 8; x < 16; ++x)
            inked += mask.at(x, y) != 0;
    EXPECT_EQ(inked, 0);
}

TEST(ToolBar, PicturesAreDistinctAndDrawnInTheSixteenColours) {
    std::set<std::vector<uint8_t>> seen;
    for (int command : toolBarCommands()) {
        const Image picture = toolBarPicture(command, realFont());
        ASSERT_EQ(picture.width(), kToolBarPictureSize);
        ASSERT_EQ(picture.height(), kToolBarPictureSize);
        int drawn = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const Rgb pixel = picture.at(x, y);
                EXPECT_NE(std::find(std::begin(kPalette16), std::end(kPalette16), pixel),
                          std::end(kPalette16))
                    << command << " at " << x << "," << y;
                drawn += !(pixel == colour::kSilver);
            }
        }
        EXPECT_GT(drawn, 60) << command;
        EXPECT_TRUE(seen.insert(encodeBitmap16(picture)).second) << command << " repeats";
    }
    EXPECT_THROW(toolBarPicture(999, realFont()), std::invalid_argument);
}

TEST(PromptBar, PinAndWrappingShowTwoStatesTheOthersOne) {
    for (int button : promptBarButtons()) {
        const Image picture = promptBarPicture(button, realFont());
        const bool twoStates = button == 201 || button == 211;
        EXPECT_EQ(picture.width(), kPromptBarPictureSize) << button;
        EXPECT_EQ(picture.height(), (twoStates ? 2 : 1) * kPromptBarPictureSize) << button;
    }
    EXPECT_THROW(promptBarPicture(209, realFont()), std::invalid_argument);
}

TEST(Animation, EveryFrameTurnsTheGlobeFurther) {
    std::set<std::vector<uint8_t>> frames;
    for (int frame = 0; frame < kAnimationFrames; ++frame)
        frames.insert(encodeBitmap24(animationFrame(frame)));
    EXPECT_EQ(frames.size(), static_cast<size_t>(kAnimationFrames));
}

std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file),
                                std::istreambuf_iterator<char>());
}

int runGenerator(std::vector<std::string> args) {
    args.insert(args.begin(), LXART_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    // The generator's complaints are expected here; they would only clutter the test's output.
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Generator : public testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("lxart-test-" + std::to_string(getpid()));
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(Generator, TwoRunsWriteTheSameFiles) {
    for (const char* run : {"first", "second"})
        ASSERT_EQ(runGenerator({"--unifont", UNIFONT_HEX_PATH, "--out", (root_ / run).string()}),
                  0);
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(root_ / "first")) {
        const std::string name = entry.path().filename().string();
        names.insert(name);
        EXPECT_EQ(readBytes(entry.path()), readBytes(root_ / "second" / name)) << name;
    }
    EXPECT_EQ(names.size(), 12u + 9u + 12u + 5u + 2u);
    EXPECT_TRUE(names.count("TB160.BMP") && names.count("ANI12.BMP") && names.count("BGFACE.BMP") &&
                names.count("LOGO.BMP") && names.count("LEXORA.ICO"));
}

TEST_F(Generator, RefusesAMissingFontAndBadArguments) {
    EXPECT_EQ(runGenerator(
                  {"--unifont", (root_ / "none.hex").string(), "--out", (root_ / "out").string()}),
              1);
    EXPECT_FALSE(fs::exists(root_ / "out" / "LOGO.BMP"));
    EXPECT_EQ(runGenerator({"--out"}), 2);
}

} // namespace
