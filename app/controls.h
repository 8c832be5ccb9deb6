// The controls of the main window: the input box with its history, the word lists, the result
// pane, and the owner-drawn phonetic line and pane labels.
#ifndef LEXORA_CONTROLS_H
#define LEXORA_CONTROLS_H

#include "framework/framework.h"

#include <cstddef>

namespace lexora {

// Told when the pointer moves over a control, with the GB text the status line shows for it.
class HoverSink {
  public:
    virtual ~HoverSink() = default;
    virtual void pointerOver(HWND control, const char* gbText) = 0;
};

// The input box: a drop-down combo box whose list is the input history, newest first. Enter in
// its edit field becomes command 1 to the parent, since a window that is not a dialog gets
// nothing from it otherwise.
class TMyComboBox : public TWindow {
  public:
    TMyComboBox(HoverSink& hover, const char* gbHoverText);
    ~TMyComboBox() override;

    bool create(HWND parent, int id);
    HWND editField() const;
    bool hasFocus() const;

    // The edit field's text, at most size - 1 bytes.
    int text(char* text, int size) const;
    void setText(const char* text);
    bool hasText() const;
    void selectAllText();

    bool droppedDown() const;
    void closeDropDown();

    int historyCount() const;
    // The item's text into `text` (NUL-terminated, cut to size - 1 bytes); its full length, or
    // -1 when there is no such item.
    int historyItem(int index, char* text, int size) const;
    bool historyHolds(const char* text) const;
    void insertHistoryTop(const char* text);
    // Removes every item; the edit field keeps its text.
    void clearHistory();
    // Empties the edit field and the list.
    void reset();

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    class EditField;
    HoverSink& hover_;
    const char* gbHoverText_;
    EditField* edit_ = nullptr;
};

// A notifying list of words; the select list paints its rows with the dynamic translation of
// lxsys held off, since they are the program's own texts.
// Keeps a control from repainting while it is refilled, and repaints it once afterwards: under
// Wine every added row or line would otherwise redraw the control and its scroll bar at once.
class RedrawPause {
  public:
    explicit RedrawPause(HWND control);
    ~RedrawPause();
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

  private:
    HWND control_;
};

class TMyListBox : public TWindow {
  public:
    TMyListBox(HoverSink& hover, const char* gbHoverText, bool ownPainting);

    bool create(HWND parent, int id);
    void clear();
    // False when the row cannot be added.
    bool addRow(const char* text);
    int rowCount() const;
    int selectedRow() const;
    void selectRow(int row);
    // The row's text (cut to size - 1 bytes); "" when there is none.
    void rowText(int row, char* text, int size) const;

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    HoverSink& hover_;
    const char* gbHoverText_;
    bool ownPainting_;
};

// The result pane: a read-only multi-line edit control. A plain click selects the meaning under
// the caret, every button up copies the selection, and a double click on a meaning sends the
// parent notification 300 to look that meaning up.
class TLXEdit : public TWindow {
  public:
    static constexpr int kWordCapacity = 100;

    TLXEdit(HoverSink& hover, const char* gbHoverText);

    bool create(HWND parent, int id);
    void clear();
    // Appends a line, with a line break when asked.
    void appendLine(const char* line, std::size_t length, bool lineBreak);
    void showTop();
    // The meaning last picked by a click.
    const char* currentWord() const { return currentWord_; }

  protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    void onButtonUp(LPARAM lParam);
    void onDoubleClick(WPARAM wParam, LPARAM lParam);
    void selectMeaningAtCaret();

    HoverSink& hover_;
    const char* gbHoverText_;
    bool clickPending_ = false;
    POINT pressedAt_{};
    char currentWord_[kWordCapacity] = "";
    DWORD wordStart_ = 0;
    DWORD wordEnd_ = 0;
};

// The phonetic line: '/' and '0' ... '9' from the program's phonetic glyphs in the text colour,
// everything else as text, from (x, y) to the right.
void drawPhoneticText(HDC dc, int x, int y, const char* text);

} // namespace lexora

#endif
