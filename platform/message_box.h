#pragma once

#include <cstdint>

namespace platform {

// Message-box style values (buttons plus icon) and answer codes, as the
// platform defines them.
enum MessageBoxStyle : int32_t {
  kButtonsOk = 0,
  kButtonsOkCancel = 1,
  kButtonsYesNo = 4,
  kIconCritical = 16,
  kIconExclamation = 48,
  kIconInformation = 64,
};

enum MessageBoxAnswer : int32_t {
  kAnswerOk = 1,
  kAnswerCancel = 2,
  kAnswerYes = 6,
  kAnswerNo = 7,
};

}  // namespace platform
