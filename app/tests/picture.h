// Pictures of the program's windows for the documentation: a window's part of the display saved
// as a PNG file in the artefacts directory.
#ifndef LEXORA_TESTS_PICTURE_H
#define LEXORA_TESTS_PICTURE_H

#include <windows.h>

#include <string>

namespace lexoratest {

// Wine starts Unix programs through CreateProcess given their DOS path; they take Unix paths.
std::string unixPathOf(const std::string& windowsPath);
std::wstring dosPathOf(const char* unixPath);

// Saves <artefacts>/<name>.png, cut out of a screenshot by ImageMagick's convert; false when
// that could not be done.
bool savePictureOf(HWND window, const std::string& name);
// The same for a rectangle of the screen.
bool savePicture(const RECT& screenRect, const std::string& name);

} // namespace lexoratest

#endif
