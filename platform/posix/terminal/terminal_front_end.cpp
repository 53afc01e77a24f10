#include "platform/posix/terminal/terminal_front_end.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "platform/message_box.h"
#include "platform/posix/terminal/answer_parser.h"
#include "platform/posix/terminal/json_front_end.h"
#include "platform/posix/terminal/terminal_interrupt.h"
#include "platform/posix/terminal/terminal_text.h"

namespace platform {

std::unique_ptr<FrontEnd> CreateFrontEnd() {
  if (!isatty(STDOUT_FILENO)) return std::make_unique<posix::JsonFrontEnd>(stdin, stdout, stderr);
  posix::TerminalOptions options;
  options.keys = isatty(STDIN_FILENO) != 0;
  return std::make_unique<posix::TerminalFrontEnd>(options);
}

namespace posix {
namespace {

constexpr char kEscape = '\x1b';
constexpr size_t kMinWidth = 30;
constexpr size_t kMaxWidth = 64;

// One byte of `fd`, -1 at the end of the input (reads restart after Ctrl-C).
int ReadByte(int fd) {
  unsigned char byte = 0;
  return read(fd, &byte, 1) == 1 ? byte : -1;
}

bool InputPending(int fd) {
  pollfd query{fd, POLLIN, 0};
  return poll(&query, 1, 0) > 0 && (query.revents & POLLIN) != 0;
}

}  // namespace

TerminalFrontEnd::TerminalFrontEnd(TerminalOptions options) : options_(options) {
  InstallInterruptHandler();
}

TerminalFrontEnd::~TerminalFrontEnd() {
  SetInterruptIsClick(false);
  LeaveKeyMode();
}

size_t TerminalFrontEnd::Width() const {
  size_t width = options_.width;
  winsize size{};
  if (width == 0 && ioctl(fileno(options_.out), TIOCGWINSZ, &size) == 0) width = size.ws_col;
  return std::clamp(width == 0 ? kMaxWidth : width, kMinWidth, kMaxWidth);
}

void TerminalFrontEnd::Print(const std::string& line) {
  std::fputs(line.c_str(), options_.out);
  std::fputc('\n', options_.out);
  ++live_lines_;
}

void TerminalFrontEnd::EraseLive() {
  if (live_lines_ > 0) std::fprintf(options_.out, "\r\x1b[%zuA\x1b[J", live_lines_);
  live_lines_ = 0;
}

void TerminalFrontEnd::Draw() {
  EraseLive();
  for (const std::string& line : ComposePanel(content_, Width())) Print(line);
  std::fflush(options_.out);
}

void TerminalFrontEnd::Show() {
  if (shown_) return;
  shown_ = true;
  EnterKeyMode();
  SetInterruptIsClick(true);
  Draw();
}

void TerminalFrontEnd::Unload() {
  if (!shown_) return;
  shown_ = false;
  SetInterruptIsClick(false);
  EraseLive();
  std::fflush(options_.out);
  LeaveKeyMode();
}

void TerminalFrontEnd::SetStatusText(StatusLine line, const std::string& text) {
  (line == StatusLine::kMessage ? content_.message_text : content_.message2_text) = text;
  if (shown_) Draw();
}

void TerminalFrontEnd::SetCancelEnabled(bool enabled) {
  content_.cancel_enabled = enabled;
  if (shown_) Draw();
}

void TerminalFrontEnd::ProcessPendingEvents() {
  bool clicked = TakeInterrupt();
  // Escape alone is a click; an escape sequence (an arrow key) is not.
  while (options_.keys && InputPending(options_.in_fd)) {
    int byte = ReadByte(options_.in_fd);
    if (byte < 0) break;
    if (byte != kEscape) continue;
    if (!InputPending(options_.in_fd)) {
      clicked = true;
      break;
    }
    int next = ReadByte(options_.in_fd);
    if (next != '[' && next != 'O') {
      clicked = true;
      continue;
    }
    // Skip the sequence's parameters up to its final byte.
    while (InputPending(options_.in_fd)) {
      int part = ReadByte(options_.in_fd);
      if (part < 0 || (part >= 0x40 && part <= 0x7E)) break;
    }
  }
  if (clicked && shown_ && content_.cancel_enabled) DeliverCancelClick();
}

int32_t TerminalFrontEnd::MessageBox(const std::string& text, int32_t style,
                                     const std::string& title) {
  // One wrapping for the question and its record, so both break alike.
  const std::vector<std::string> lines = WrapText(text, Width() - 2);
  Print(title);
  for (const std::string& line : lines) Print("  " + line);
  std::vector<Button> buttons = ButtonsOf(style);
  int32_t code = buttons.front().code;
  if (buttons.size() > 1) {
    std::fprintf(options_.out, "  %s (Enter: %s) ", ButtonPrompt(style).c_str(),
                 buttons.front().label.c_str());
    std::fflush(options_.out);
    code = options_.keys ? ReadKeyAnswer(style) : ReadLineAnswer(style);
    std::fputc('\n', options_.out);
    ++live_lines_;
  } else if (options_.keys) {
    std::fputs("  OK (Enter) ", options_.out);
    std::fflush(options_.out);
    ReadKeyAnswer(style);
    std::fputc('\n', options_.out);
    ++live_lines_;
  }
  // The answered box leaves a record above the panel.
  EraseLive();
  std::fprintf(options_.out, "%s\n", title.c_str());
  for (const std::string& line : lines) std::fprintf(options_.out, "  %s\n", line.c_str());
  for (const Button& button : buttons) {
    if (button.code == code) std::fprintf(options_.out, "  > %s\n\n", button.label.c_str());
  }
  if (shown_) Draw();
  std::fflush(options_.out);
  return code;
}

int32_t TerminalFrontEnd::ReadKeyAnswer(int32_t style) {
  EnterKeyMode();
  for (;;) {
    int byte = ReadByte(options_.in_fd);
    if (byte < 0) {
      if (!shown_) LeaveKeyMode();
      throw ProgramEnd{Ending::kInputClosed};
    }
    std::optional<int32_t> answer;
    if (byte == '\r' || byte == '\n') {
      answer = ButtonsOf(style).front().code;
    } else if (byte == kEscape && !InputPending(options_.in_fd)) {
      answer = ParseAnswer("Cancel", style);
    } else {
      answer = ParseAnswer(std::string(1, static_cast<char>(byte)), style);
    }
    if (answer) {
      if (!shown_) LeaveKeyMode();
      return *answer;
    }
  }
}

int32_t TerminalFrontEnd::ReadLineAnswer(int32_t style) {
  for (;;) {
    const std::optional<AnswerLine> line =
        ReadAnswerLine([this] { return ReadByte(options_.in_fd); });
    if (!line) throw ProgramEnd{Ending::kInputClosed};
    if (auto answer = ParseAnswer(*line, style)) return *answer;
    std::fprintf(options_.out, "\n  Please answer %s: ", ButtonPrompt(style).c_str());
    std::fflush(options_.out);
    ++live_lines_;
  }
}

void TerminalFrontEnd::ReportUnhandledError(int32_t number, const std::string& text,
                                            const std::string& path) {
  // The panel stays as it last was, above the report.
  live_lines_ = 0;
  std::fflush(options_.out);
  std::fputs(UnhandledErrorReport(number, text, path).c_str(), options_.err);
  std::fflush(options_.err);
}

void TerminalFrontEnd::ReportEnding(Ending) {}

void TerminalFrontEnd::EnterKeyMode() {
  if (!options_.keys || key_mode_ || tcgetattr(options_.in_fd, &saved_settings_) != 0) return;
  termios keys = saved_settings_;
  // Keys one at a time without echo; Ctrl-C still raises SIGINT.
  keys.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  keys.c_cc[VMIN] = 1;
  keys.c_cc[VTIME] = 0;
  if (tcsetattr(options_.in_fd, TCSANOW, &keys) != 0) return;
  SetTerminalToRestore(options_.in_fd, saved_settings_);
  key_mode_ = true;
}

void TerminalFrontEnd::LeaveKeyMode() {
  if (!key_mode_) return;
  tcsetattr(options_.in_fd, TCSANOW, &saved_settings_);
  SetTerminalToRestore(-1, saved_settings_);
  key_mode_ = false;
}

}  // namespace posix
}  // namespace platform
