// The text runs that the instances report to the bridge window during one capture; only the
// application's thread touches them.
#ifndef LEXORA_LXSYS_RUNS_H
#define LEXORA_LXSYS_RUNS_H

#include "lxsys.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace lxsys {

// One reported run.
struct TextInfoStruct {
    uint32_t dc = 0;
    CaptureRect rect{};
    std::string text;
    // Set during assembly for the runs that belong to the word.
    bool joined = false;
    bool isDoubleByte = false;
};

// The runs of one capture, ordered by DC (unsigned) and then by left edge; an item goes after
// those with an equal key. It owns its items.
class TTextCollection {
  public:
    static constexpr size_t kInitialCapacity = 10;
    static constexpr size_t kGrowth = 5;
    // A repaint of a one-pixel strip reports far fewer runs; the bound keeps a flood of reports
    // from any process from growing the collection without end.
    static constexpr size_t kMaxItems = 4096;

    TTextCollection();

    // False when the collection is full or memory runs out; the item is not inserted then.
    bool insert(std::unique_ptr<TextInfoStruct> item);
    size_t count() const { return items_.size(); }
    TextInfoStruct& at(size_t index) { return *items_[index]; }
    void clear() { items_.clear(); }
    // Restores the order after items changed their keys.
    void reorder();

  private:
    std::vector<std::unique_ptr<TextInfoStruct>> items_;
};

// Adds a reported run (copy-data kind SN_KIND_TEXT_RUN); its text is read up to
// SN_TEXT_LIMIT bytes whatever the sender put after them.
void insertRun(TTextCollection& runs, const TextRunMessage& message);

// Follows a reported block transfer (copy-data kind SN_KIND_BLIT): the runs drawn on its source
// move to its destination, and one that lands under the pointer becomes the current word.
void applyBlit(TTextCollection& runs, const BlitMessage& message);

// Makes the word out of the runs of one capture, tells the application when there is one, and
// empties the collection for the next capture.
void assembleWord(TTextCollection& runs);

} // namespace lxsys

#endif
