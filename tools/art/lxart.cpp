// lxart: draws LEXORA's pictures (tool-bar and prompt-bar buttons, title animation, background,
// logos, icon) into .BMP and .ICO files, with letters from GNU Unifont. The same font always
// yields the same bytes.
//   lxart --unifont unifont.hex --out DIR
#include <filesystem>
#include <string>

#include "encode.h"
#include "files.h"
#include "pictures.h"
#include "unifont.h"

namespace {

namespace fs = std::filesystem;
using namespace lexora;

void run(const glyphs::Unifont& font, const fs::path& out) {
    const auto write = [&out](const char* name, const art::Bytes& bytes) {
        tools::writeFile(out / name, bytes);
    };
    for (int command : art::toolBarCommands())
        write(("TB" + std::to_string(command) + ".BMP").c_str(),
              art::encodeBitmap16(art::toolBarPicture(command, font)));
    for (int button : art::promptBarButtons())
        write(("PB" + std::to_string(button) + ".BMP").c_str(),
              art::encodeBitmap16(art::promptBarPicture(button, font)));
    for (int frame = 0; frame < art::kAnimationFrames; ++frame)
        write(("ANI" + std::to_string(frame + 1) + ".BMP").c_str(),
              art::encodeBitmap24(art::animationFrame(frame)));
    write("BGFACE.BMP", art::encodeBitmap24(art::backgroundFace()));
    write("LOGO.BMP", art::encodeBitmap24(art::logo(font)));
    write("LOGOSMALL.BMP", art::encodeBitmap24(art::smallLogo(font)));
    write("YBBMP.BMP", art::encodeBitmap24(art::phoneticLetterTable(font)));
    write("LEXORA.ICO", art::encodeIcon(art::programIcon()));
    for (const auto& [name, cursor] : {std::pair{"CURSOR1.CUR", art::handCursor()},
                                       std::pair{"CURSOR5.CUR", art::textLineCursor()}})
        write(name, art::encodeCursor(cursor.picture, cursor.hotX, cursor.hotY));
}

} // namespace

int main(int argc, char** argv) {
    return glyphs::runUnifontTool(argc, argv, "lxart", run);
}
