// The program's texts in its two faces and in the current code page. Texts are kept in GB in
// the resources and converted for display when BIG5 is current.
#ifndef LEXORA_APP_MESSAGES_H
#define LEXORA_APP_MESSAGES_H

#include <windows.h>

#include <cstddef>

namespace lexora {

// Converts GB text to the current code page in place of a copy (cut to `size`, NUL-terminated).
void toCurrentPage(const char* gb, char* text, std::size_t size);
// Converts text in the current code page to GB.
void toGb(const char* text, char* gb, std::size_t size);

// The resource string `id` converted to the current code page; "" when there is none.
void loadPageString(int id, char* text, std::size_t size);
// The id of a message text in the current face: the id itself in the English face, id + 4000
// in the Chinese face.
int faceTextId(int englishId);

// A message box whose text and caption are message texts of the current face; `text` may hold
// one printf conversion filled with `argument`.
int showFaceMessage(HWND owner, int textId, int captionId, UINT type,
                    const char* argument = nullptr);

} // namespace lexora

#endif
