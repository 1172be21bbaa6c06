#pragma once

#include <QPlainTextEdit>

#include "help_codec.h"
#include "window_helpers.h"

namespace velmora {

// The help window: one scrolling text box filled from "Help.lib" in the current directory each
// time help is asked for.
class BangZhu : public common::FormWindow {
    Q_OBJECT
  public:
    BangZhu();
    void Form_Load() override;
    void Form_Resize();
    // Rereads and decodes "Help.lib" and puts the text into Text1. An empty file leaves Text1
    // as it is; a missing or unreadable one puts a single line there naming the file.
    void FmeJiekou();

    QPlainTextEdit* Text1;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    help::HelpCodec codec_;
};

}  // namespace velmora
