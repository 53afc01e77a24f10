#include "platform/posix/terminal/terminal_panel.h"

#include "platform/posix/terminal/terminal_text.h"

namespace platform::posix {
namespace {

constexpr size_t kMessageLines = 5;
constexpr size_t kMessage2Lines = 3;

std::string Rule(size_t width, const std::string& label = "") {
  std::string line = "+";
  if (!label.empty()) line += "-- " + label + " ";
  while (DisplayWidth(line) < width - 1) line += '-';
  return line + "+";
}

std::string Row(const std::string& text, size_t width) {
  std::string line = "| " + text;
  while (DisplayWidth(line) < width - 2) line += ' ';
  return line + " |";
}

std::string Centred(const std::string& text, size_t width) {
  size_t inner = width - 4;
  size_t length = DisplayWidth(text);
  return std::string(length < inner ? (inner - length) / 2 : 0, ' ') + text;
}

void AddArea(std::vector<std::string>& panel, const std::string& text, size_t min_lines,
             size_t width) {
  std::vector<std::string> lines = WrapText(text, width - 4);
  if (lines.size() < min_lines) lines.resize(min_lines);
  for (const std::string& line : lines) panel.push_back(Row(line, width));
}

}  // namespace

std::vector<std::string> ComposePanel(const PanelContent& content, size_t width) {
  std::vector<std::string> panel;
  panel.push_back(Rule(width, "Quarnel Lumbrel Restore"));
  panel.push_back(Row(Centred("Quarnel", width), width));
  panel.push_back(Row(Centred("Lumbrel Restore", width), width));
  panel.push_back(Rule(width));
  AddArea(panel, content.message_text, kMessageLines, width);
  panel.push_back(Rule(width));
  AddArea(panel, content.message2_text, kMessage2Lines, width);
  panel.push_back(Rule(width));
  std::string button =
      content.cancel_enabled ? "[ Cancel ]  Esc or Ctrl-C" : "  Cancel    (unavailable)";
  panel.push_back(Row(std::string(width - 4 - DisplayWidth(button), ' ') + button, width));
  panel.push_back(Rule(width));
  return panel;
}

}  // namespace platform::posix
