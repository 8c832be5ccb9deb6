// LEXORA's pictures: the tool bar's buttons, the title animation, the main window's background,
// the program's logo and its icon.
#ifndef LEXORA_ART_PICTURES_H
#define LEXORA_ART_PICTURES_H

#include <vector>

#include "encode.h"
#include "image.h"
#include "unifont.h"

namespace lexora::art {

inline constexpr int kToolBarPictureSize = 20;
inline constexpr int kPromptBarPictureSize = 16;
inline constexpr int kAnimationFrames = 12;
inline constexpr int kAnimationFrameSize = 40;

// The commands that have a tool-bar button, in the bar's order.
const std::vector<int>& toolBarCommands();
// The button picture of one of those commands, in the 16 standard colours on button grey.
Image toolBarPicture(int command, const glyphs::Unifont& font);

// The buttons of the prompt bar that show a picture.
const std::vector<int>& promptBarButtons();
// The picture of one of those buttons; the pin (201) and the line wrapping (211) hold their
// raised picture above their pressed one.
Image promptBarPicture(int button, const glyphs::Unifont& font);

// Frame 0 ... 11 of the turning globe.
Image animationFrame(int index);
// The main window's background, stretched over its client area.
Image backgroundFace();
// The program's picture for the start-up dialog, and a small one for the brief description.
Image logo(const glyphs::Unifont& font);
Image smallLogo(const glyphs::Unifont& font);
// The user library page's table of the soundmark letters: each capital that stands for a
// phonetic symbol in a soundmark's letter form, above that symbol in the program's phonetic glyph.
Image phoneticLetterTable(const glyphs::Unifont& font);
// The program's icon in 16, 32 and 48 pixels.
std::vector<IconPicture> programIcon();

// The prompt bar's cursors, 32 x 32: a pointing hand over a button that takes clicks, and an
// arrow with a note over its text lines.
struct CursorPicture {
    IconPicture picture;
    int hotX;
    int hotY;
};
CursorPicture handCursor();
CursorPicture textLineCursor();

} // namespace lexora::art

#endif
