// Where the program's files are: every relative name is taken from the directory of the
// running program.
#ifndef LEXORA_APP_FILES_H
#define LEXORA_APP_FILES_H

#include <windows.h>

#include <cstddef>

namespace lexora {

// Takes the running program's directory (with its trailing backslash); call once at start.
void setModuleDirectory();
const char* moduleDirectory();
// A name holding a colon is used as it is; any other is appended to the module directory.
// The result is cut to fit `size` and always NUL-terminated.
void resolveFileName(const char* name, char* path, std::size_t size);

// The settings file, "LEXORA.INI" in the module directory.
const char* settingsFilePath();

// Opens the user library the settings name when their "Use User Library" is on; false when it is
// off or no library is named (nothing is opened then). A library that fails to open stays closed.
bool openUserLibrary();

// The 11 phonetic glyphs (8 x 16, one byte per row, leftmost pixel in the top bit) of the
// characters '/' and '0' ... '9', loaded from the program's resource "LXRES" of type "Lxres_A".
// A resource that is missing or of another size leaves the glyphs blank.
void loadPhoneticGlyphs();
// The same from the resources of `module`.
void loadPhoneticGlyphs(HMODULE module);
// The 16 rows of a phonetic character's glyph, or nullptr for any other character.
const unsigned char* phoneticGlyph(char character);

} // namespace lexora

#endif
