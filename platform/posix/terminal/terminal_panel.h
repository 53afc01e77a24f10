#pragma once

// The main window drawn as a framed panel of text lines: title in the top
// border, the two title lines, the two status lines (message and message 2)
// and the Cancel button, each in its own frame.

#include <string>
#include <vector>

namespace platform::posix {

struct PanelContent {
  std::string message_text;
  std::string message2_text;
  bool cancel_enabled = true;
};

// The panel's lines, each exactly `width` characters wide (width >= 30),
// without line ends. Status texts wrap inside the frame; the message area keeps
// at least five lines and the message 2 area three, so the panel does not jump
// as texts come and go.
std::vector<std::string> ComposePanel(const PanelContent& content, size_t width);

}  // namespace platform::posix
