// The real window under Wine: what only its pixels, its controls and its
// message pump show. What the program writes into it, and when, is the
// driver suite's, through the scripted front-end.

#include "platform/windows/window/main_window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/windows/window/window_front_end.h"

namespace platform::windows {
namespace {

// The client area as the window has painted it so far, read from its own
// device context without asking it to paint again.
struct Shot {
  int width = 0;
  std::vector<uint32_t> pixels;

  int Count(RECT area, layout::Rgb c) const {
    const uint32_t wanted = static_cast<uint32_t>(c.red << 16 | c.green << 8 | c.blue);
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        count += (pixels[static_cast<size_t>(y * width + x)] & 0xFFFFFFu) == wanted;
      }
    }
    return count;
  }
  bool Is(int x, int y, layout::Rgb c) const { return Count({x, y, x + 1, y + 1}, c) == 1; }
};

Shot TakeShot(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  Shot shot{client.right, std::vector<uint32_t>(static_cast<size_t>(client.right * client.bottom))};
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof info.bmiHeader, client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
  GdiFlush();
  std::memcpy(shot.pixels.data(), bits, shot.pixels.size() * 4);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return shot;
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    front_end_.SetCancelHandler([this] { ++clicks_; });
    // The fixture's window is the only one of its class in the process.
    window_ = FindWindowW(layout::kWindowClass, nullptr);
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    front_end_.Show();
    front_end_.ProcessPendingEvents();
  }
  int Px(int twips) const { return MulDiv(twips, dpi_, 1440); }
  // A control's design rectangle, in twips, as pixels.
  RECT Design(int left, int top, int width, int height) const {
    return {Px(left), Px(top), Px(left + width), Px(top + height)};
  }
  // Where the control sits in the client area.
  RECT Box(layout::ControlId id) const {
    RECT box{};
    GetWindowRect(GetDlgItem(window_, id), &box);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&box), 2);
    return box;
  }
  // What the control holds: set only when its text is painted.
  std::wstring OnScreen(layout::ControlId id) const {
    wchar_t text[256] = {};
    GetWindowTextW(GetDlgItem(window_, id), text, 256);
    return text;
  }
  void AfterAFrame() {
    Sleep(20);
    front_end_.ProcessPendingEvents();
  }

  WindowFrontEnd front_end_;
  HWND window_ = nullptr;
  int dpi_ = 96;
  int clicks_ = 0;
};

// Where each control sits is the layout table's; this is what only painting
// shows: each text in its colour in its own box, a long path wrapped, the
// logo drawn, and the empty string clearing a line down to the band.
TEST_F(MainWindowTest, StatusWritesPaintInTheirBoxesAndTheEmptyStringClears) {
  front_end_.SetStatusText(StatusLine::kMessage, "Analyzing your system, Please wait...");
  front_end_.SetStatusText(StatusLine::kMessage2,
                           "C:\\Program Files\\Quarnel\\Packages\\My Documents\\"
                           "AVeryLongDocumentNameWithoutAnySpaceInItAtAll.qdc");
  AfterAFrame();
  const Shot shot = TakeShot(window_);
  const RECT message = Box(layout::kIdMessage);
  const RECT message2 = Box(layout::kIdMessage2);
  EXPECT_GT(shot.Count(message, layout::kTextBrown), 40);
  EXPECT_EQ(shot.Count(message, layout::kDetailGrey), 0);
  const int line_height = Px(195);
  EXPECT_GT(shot.Count({message2.left, message2.top + line_height, message2.right, message2.bottom},
                       layout::kDetailGrey),
            10);
  const RECT logo = Box(layout::kIdPicture);
  EXPECT_LT(shot.Count(logo, layout::kBandYellow),
            (logo.right - logo.left) * (logo.bottom - logo.top) * 9 / 10);

  front_end_.SetStatusText(StatusLine::kMessage, "");
  AfterAFrame();
  EXPECT_EQ(TakeShot(window_).Count(message, layout::kBandYellow),
            (message.right - message.left) * (message.bottom - message.top));
}

TEST_F(MainWindowTest, CancelClickKeysAndCloseBoxAreClicksOnlyInsideThePump) {
  HWND cancel = GetDlgItem(window_, layout::kIdCancel);
  PostMessageW(cancel, BM_CLICK, 0, 0);
  SendMessageW(window_, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(clicks_, 0);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 2);
  PostMessageW(window_, WM_CLOSE, 0, 0);
  SetFocus(cancel);
  PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 4);
  EXPECT_TRUE(IsWindow(window_));
  // Enter and Space are the shipped program's test, on a real search.

  // Greyed, none of them does anything.
  front_end_.SetCancelEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(cancel));
  PostMessageW(window_, WM_CLOSE, 0, 0);
  PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 4);
  EXPECT_TRUE(IsWindowVisible(window_));
}

// Answers the test box with No once it is open, noting what the main line
// of the box's owner held meanwhile (nothing when the box has no owner).
std::wstring seen_under_box;
VOID CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", L"Lumbrel box test");
  if (box == nullptr) return;
  KillTimer(nullptr, timer);
  wchar_t text[64] = {};
  GetWindowTextW(GetDlgItem(GetWindow(box, GW_OWNER), layout::kIdMessage), text, 64);
  seen_under_box = text;
  PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(IDNO), 0);
}

TEST_F(MainWindowTest, WritesPaintOncePerFrameButNeverWaitPastABoxOrTheCopy) {
  // The burst must fit in one frame to say anything; a stalled try is tried
  // again rather than failed.
  bool burst_fit_in_a_frame = false;
  for (int attempt = 0; attempt < 5 && !burst_fit_in_a_frame; ++attempt) {
    front_end_.SetStatusText(StatusLine::kMessage, "");
    AfterAFrame();
    AfterAFrame();
    const ULONGLONG start = GetTickCount64();
    front_end_.SetStatusText(StatusLine::kMessage2, "C:\\a");
    front_end_.SetStatusText(StatusLine::kMessage2, "C:\\b");
    front_end_.SetStatusText(StatusLine::kMessage, "Searching");
    const std::wstring main_line = OnScreen(layout::kIdMessage);
    if (GetTickCount64() - start >= 10) continue;
    burst_fit_in_a_frame = true;
    EXPECT_EQ(main_line, L"");
  }
  ASSERT_TRUE(burst_fit_in_a_frame) << "every try was stalled for a frame";
  AfterAFrame();
  EXPECT_EQ(OnScreen(layout::kIdMessage2), L"C:\\b");
  EXPECT_EQ(OnScreen(layout::kIdMessage), L"Searching");

  // Greying Cancel (the copy begins) shows what waits; from then on every
  // write paints.
  front_end_.SetStatusText(StatusLine::kMessage2, "C:\\d");
  front_end_.SetCancelEnabled(false);
  EXPECT_EQ(OnScreen(layout::kIdMessage2), L"C:\\d");
  front_end_.SetStatusText(StatusLine::kMessage2, "D:\\f");
  EXPECT_EQ(OnScreen(layout::kIdMessage2), L"D:\\f");

  // A box, owned by the window, shows what waits before it opens; a click
  // meanwhile waits for the next pump. The keys go back to Cancel after it.
  front_end_.SetCancelEnabled(true);
  SetFocus(window_);
  front_end_.SetStatusText(StatusLine::kMessage, "Done");
  front_end_.SetStatusText(StatusLine::kMessage, "Done at last");
  SetTimer(nullptr, 0, 50, AnswerBox);
  PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(front_end_.MessageBox("Search?", kButtonsYesNo | kIconExclamation, "Lumbrel box test"),
            kAnswerNo);
  EXPECT_EQ(seen_under_box, L"Done at last");
  EXPECT_EQ(GetFocus(), GetDlgItem(window_, layout::kIdCancel));
  EXPECT_EQ(clicks_, 0);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);
}

TEST_F(MainWindowTest, OnAMonitorOfTwiceTheDensityItIsLaidOutAgainInTheRectangleProposed) {
  dpi_ *= 2;
  RECT proposed{10, 10, 10 + Px(4860), 10 + Px(4500)};
  AdjustWindowRectEx(&proposed, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)));
  SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(dpi_, dpi_), reinterpret_cast<LPARAM>(&proposed));
  UpdateWindow(window_);
  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right, Px(4860));
  EXPECT_EQ(client.bottom, Px(4500));
  const RECT cancel = Box(layout::kIdCancel);
  const RECT designed = Design(3510, 4020, 1215, 375);
  EXPECT_TRUE(EqualRect(&cancel, &designed));
}

}  // namespace
}  // namespace platform::windows
