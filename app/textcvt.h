// LXTextCvt: the text converter, a modal dialog that takes a text from the clipboard or a file
// and writes the result to the clipboard or a file: Chinese text converted between GB and BIG5
// (with one of three treatments of the spaces before Chinese characters), or English text
// translated line by line into Chinese.
#ifndef LEXORA_TEXTCVT_H
#define LEXORA_TEXTCVT_H

#include "framework/framework.h"

#include <memory>

namespace lexora {

class LXTextCvt : public TDialog {
  public:
    // On the template of the current face.
    explicit LXTextCvt(HWND parent);
    ~LXTextCvt() override;

  protected:
    BOOL setupWindow() override;
    bool onCommand(UINT id, UINT notification, HWND control) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace lexora

#endif
