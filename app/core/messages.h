// The program's texts in its two faces and in the current code page. Texts are kept in GB in
// the resources and converted for display when BIG5 is current.
#ifndef LEXORA_APP_MESSAGES_H
#define LEXORA_APP_MESSAGES_H

#include <windows.h>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>

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

// The conversions of a message text (%s, %d and the like, in order) replaced by `arguments`,
// which are texts already (a number is given as its decimal digits); "%%" gives "%". Nothing of
// the text is taken as a format, so a text and its arguments can never disagree. A conversion
// left without an argument is dropped.
std::string fillMessageText(const char* text, std::initializer_list<const char*> arguments);

// A message box whose text and caption are message texts of the current face; `text` may hold
// one conversion filled with `argument` (522 takes the number as text), or several filled with
// `arguments` in order (523: the kind text, then the path). The caller beeps where it should.
int showFaceMessage(HWND owner, int textId, int captionId, UINT type,
                    const char* argument = nullptr);
int showFaceMessage(HWND owner, int textId, int captionId, UINT type,
                    std::initializer_list<const char*> arguments);
// A message box with a text already made (in the current page) and a caption text of the face.
int showMessageText(HWND owner, const char* text, int captionId, UINT type);

// How message boxes are shown: MessageBoxExA unless replaced (the tests record instead of
// showing); an empty function brings MessageBoxExA back. Returns the one replaced.
using MessageFunction =
    std::function<int(HWND owner, const char* text, const char* caption, UINT type)>;
MessageFunction setMessageFunction(MessageFunction show);

// The alert sound (MessageBeep's sound type): MessageBeep unless replaced (the tests count the
// sounds instead); an empty function brings MessageBeep back. Returns the one replaced.
using BeepFunction = std::function<void(UINT type)>;
void alertBeep(UINT type);
BeepFunction setBeepFunction(BeepFunction beep);

} // namespace lexora

#endif
