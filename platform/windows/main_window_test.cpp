#include "platform/windows/main_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/windows/window_front_end.h"

namespace platform::windows {
namespace {

// The client area as it is on the window's surface now, 32-bit pixels, top
// row first, taken from the window's own device context: what the window has
// painted so far, without asking it to paint again.
struct Shot {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  layout::Rgb At(int x, int y) const {
    uint32_t p = pixels[static_cast<size_t>(y * width + x)];
    return {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
  }
  int Count(RECT area, layout::Rgb colour) const {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        layout::Rgb p = At(x, y);
        if (p.red == colour.red && p.green == colour.green && p.blue == colour.blue) ++count;
      }
    }
    return count;
  }
  void Save(const char* path) const {
    BITMAPINFOHEADER info{sizeof info, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    DWORD data_size = static_cast<DWORD>(pixels.size() * 4);
    BITMAPFILEHEADER file{0x4D42,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info + data_size), 0,
                          0, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof info)};
    std::FILE* out = std::fopen(path, "wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info, sizeof info, 1, out);
    // Opaque, so viewers show the pixels rather than a transparent sheet.
    for (uint32_t pixel : pixels) {
      uint32_t opaque = pixel | 0xFF000000u;
      std::fwrite(&opaque, 4, 1, out);
    }
    std::fclose(out);
  }
};

Shot TakeShot(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  Shot shot;
  shot.width = client.right;
  shot.height = client.bottom;
  shot.pixels.resize(static_cast<size_t>(shot.width * shot.height));
  HDC source = GetDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, shot.width, shot.height, source, 0, 0, SRCCOPY);
  GdiFlush();
  std::memcpy(shot.pixels.data(), bits, shot.pixels.size() * 4);
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return shot;
}

bool Same(layout::Rgb a, layout::Rgb b) {
  return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    front_end_.SetCancelHandler([this] { ++clicks_; });
    window_ = front_end_.WindowHandle();
    HDC screen = GetDC(nullptr);
    dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
  }
  int Px(int twips) const { return MulDiv(twips, dpi_, 1440); }
  // A control's design rectangle in pixels.
  RECT Design(int left, int top, int width, int height) const {
    return {Px(left), Px(top), Px(left + width), Px(top + height)};
  }
  RECT ChildRect(int id) const {
    RECT rect{};
    HWND child = GetDlgItem(window_, id);
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  // What the control itself holds: set only when the text is painted.
  std::wstring OnScreen(layout::ControlId id) const {
    wchar_t text[256] = {};
    GetWindowTextW(GetDlgItem(window_, id), text, 256);
    return text;
  }
  // Any text written before has had its frame.
  void AfterAFrame() {
    Sleep(20);
    front_end_.ProcessPendingEvents();
  }

  WindowFrontEnd front_end_;
  HWND window_ = nullptr;
  int dpi_ = 96;
  int clicks_ = 0;
};

TEST_F(MainWindowTest, IsBuiltAsDesignedAndPaintsStatusWritesWithinAFrame) {
  ASSERT_NE(window_, nullptr);
  EXPECT_FALSE(IsWindowVisible(window_));
  front_end_.Show();
  front_end_.ProcessPendingEvents();

  wchar_t caption[64] = {};
  GetWindowTextW(window_, caption, 64);
  EXPECT_STREQ(caption, L"Quarnel Lumbrel Restore");
  LONG style = GetWindowLongW(window_, GWL_STYLE);
  EXPECT_FALSE(style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  RECT client{};
  GetClientRect(window_, &client);
  EXPECT_EQ(client.right, Px(4860));
  EXPECT_EQ(client.bottom, Px(4500));
  if (dpi_ == 96) {
    EXPECT_EQ(client.right, 324);
    EXPECT_EQ(client.bottom, 300);
  }
  LOGFONTW font{};
  auto subtitle_font = reinterpret_cast<HFONT>(
      SendMessageW(GetDlgItem(window_, layout::kIdSubTitle), WM_GETFONT, 0, 0));
  ASSERT_EQ(GetObjectW(subtitle_font, sizeof font, &font), static_cast<int>(sizeof font));
  EXPECT_STREQ(font.lfFaceName, L"MS Sans Serif");
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_EQ(font.lfHeight, -MulDiv(825, dpi_, 7200));
  EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);

  RECT cancel = ChildRect(layout::kIdCancel);
  RECT designed = Design(3510, 4020, 1215, 375);
  EXPECT_TRUE(EqualRect(&cancel, &designed));

  // Written while the test goes on without returning to any message loop.
  front_end_.SetStatusText(StatusLine::kMain, "Analyzing your system, Please wait...");
  front_end_.SetStatusText(StatusLine::kDetail,
                           "C:\\Program Files\\Quarnel\\Packages\\My Documents\\"
                           "AVeryLongDocumentNameWithoutAnySpaceInItAtAll.qdc");
  AfterAFrame();
  Shot shot = TakeShot(window_);
  shot.Save("main_window.bmp");

  // Each band is yellow where nothing sits on it; the gap between the header
  // and the main band and the strip below the bands show the dialog colour.
  EXPECT_TRUE(Same(shot.At(Px(4860) - 2, Px(300)), layout::kBandYellow));   // header band
  EXPECT_TRUE(Same(shot.At(Px(2500), Px(690)), layout::kBandYellow));       // picture margin
  EXPECT_TRUE(Same(shot.At(2, Px(1500)), layout::kBandYellow));             // main band
  EXPECT_TRUE(Same(shot.At(Px(4860) - 2, Px(3000)), layout::kBandYellow));  // second band
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  layout::Rgb dialog{GetRValue(face), GetGValue(face), GetBValue(face)};
  EXPECT_TRUE(Same(shot.At(2, Px(705)), dialog));
  EXPECT_TRUE(Same(shot.At(2, Px(3855)), dialog));

  // The etched rule across the whole width.
  for (int x : {0, static_cast<int>(client.right / 2), static_cast<int>(client.right - 1)}) {
    EXPECT_TRUE(Same(shot.At(x, Px(3870)), layout::kRuleGrey)) << x;
    EXPECT_TRUE(Same(shot.At(x, Px(3880)), layout::kRuleWhite)) << x;
  }
  if (dpi_ == 96) {
    EXPECT_EQ(shot.Count({0, 258, 324, 259}, layout::kRuleGrey), 324);
    EXPECT_EQ(shot.Count({0, 259, 324, 260}, layout::kRuleWhite), 324);
  }

  // Text in its colour inside its own box, the long path wrapped onto a
  // second line of the detail box; the logo's lettering in the picture box.
  RECT message = Design(120, 810, 4605, 1275);
  RECT detail = Design(120, 2640, 4605, 945);
  RECT detail_first_line{detail.left, detail.top, detail.right, detail.top + Px(195)};
  RECT detail_below{detail.left, detail.top + Px(195), detail.right, detail.bottom};
  EXPECT_GT(shot.Count(message, layout::kTextBrown), 40);
  EXPECT_EQ(shot.Count(message, layout::kDetailGrey), 0);
  EXPECT_GT(shot.Count(detail_first_line, layout::kDetailGrey), 40);
  EXPECT_GT(shot.Count(detail_below, layout::kDetailGrey), 10);
  EXPECT_GT(shot.Count(Design(2670, 150, 2025, 255), layout::kTextBrown), 20);  // "Quarnel"
  EXPECT_GT(shot.Count(Design(2580, 390, 2115, 255), layout::kTextBrown), 20);
  RECT logo{Px(120), Px(60), Px(120) + 154, Px(60) + 40};
  int logo_pixels = (logo.right - logo.left) * (logo.bottom - logo.top);
  EXPECT_LT(shot.Count(logo, layout::kBandYellow), logo_pixels * 9 / 10);

  // The empty string clears the line and leaves the band behind it.
  front_end_.SetStatusText(StatusLine::kMain, "");
  AfterAFrame();
  Shot cleared = TakeShot(window_);
  EXPECT_EQ(cleared.Count(message, layout::kTextBrown), 0);
  EXPECT_EQ(cleared.Count(message, layout::kBandYellow),
            (message.right - message.left) * (message.bottom - message.top));
}

TEST_F(MainWindowTest, CancelClickEscapeAndCloseBoxAreClicksOnlyInsideThePump) {
  front_end_.Show();
  front_end_.ProcessPendingEvents();
  HWND cancel = GetDlgItem(window_, layout::kIdCancel);

  PostMessageW(cancel, BM_CLICK, 0, 0);
  EXPECT_EQ(clicks_, 0);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);

  PostMessageW(window_, WM_CLOSE, 0, 0);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 2);
  EXPECT_TRUE(IsWindow(window_));

  SetFocus(cancel);
  PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 3);

  // A click sent outside any pump waits for the next one.
  SendMessageW(window_, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(clicks_, 3);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 4);

  // Greyed: the button, Escape and the close box do nothing, and the window
  // stays.
  front_end_.SetCancelEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(cancel));
  PostMessageW(window_, WM_CLOSE, 0, 0);
  PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 4);
  EXPECT_TRUE(IsWindowVisible(window_));

  front_end_.Unload();
  EXPECT_FALSE(IsWindow(window_));
  front_end_.Unload();
  front_end_.ProcessPendingEvents();
  front_end_.SetStatusText(StatusLine::kMain, "after the end");
}

TEST_F(MainWindowTest, AClickDuringAStreamOfWritesIsActedOnAtALaterWrite) {
  front_end_.Show();
  front_end_.ProcessPendingEvents();
  PostMessageW(GetDlgItem(window_, layout::kIdCancel), BM_CLICK, 0, 0);
  // Writes as fast as a search makes them, each followed by its pump.
  const ULONGLONG start = GetTickCount64();
  for (int file = 0; clicks_ == 0 && GetTickCount64() - start < 10000; ++file) {
    front_end_.SetStatusText(StatusLine::kDetail, "C:\\file" + std::to_string(file));
    front_end_.ProcessPendingEvents();
  }
  EXPECT_EQ(clicks_, 1);
}

// Closes the first message box that opens, with the given answer.
VOID CALLBACK AnswerBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = FindWindowW(L"#32770", L"Lumbrel box test");
  if (box == nullptr) return;
  KillTimer(nullptr, timer);
  PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(IDNO), 0);
}

TEST_F(MainWindowTest, MessageBoxesAreOwnedOnceShownAndReturnTheAnswerCode) {
  front_end_.Show();
  front_end_.ProcessPendingEvents();
  SetTimer(nullptr, 0, 50, AnswerBox);
  // A click that comes in while the box is open waits for the next pump.
  PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(front_end_.MessageBox("Search?", kButtonsYesNo | kIconExclamation, "Lumbrel box test"),
            kAnswerNo);
  EXPECT_EQ(clicks_, 0);
  front_end_.ProcessPendingEvents();
  EXPECT_EQ(clicks_, 1);
}

// What a control held while a message box was open.
std::wstring seen_under_box;
VOID CALLBACK ReadUnderBox(HWND control, UINT, UINT_PTR timer, DWORD) {
  KillTimer(control, timer);
  wchar_t text[64] = {};
  GetWindowTextW(control, text, 64);
  seen_under_box = text;
}

TEST_F(MainWindowTest, WritesPaintAtMostOncePerFrameAndNothingWaitsPastABoxOrTheCopy) {
  front_end_.Show();
  // The burst must fit in one frame to say anything; a machine that stalls
  // the test for a frame gets another try rather than a false failure.
  bool burst_fit_in_a_frame = false;
  for (int attempt = 0; attempt < 5 && !burst_fit_in_a_frame; ++attempt) {
    // Whatever waits is painted by the first pump; after the second a whole
    // frame has passed without a paint, so the next write paints at once.
    front_end_.SetStatusText(StatusLine::kMain, "");
    AfterAFrame();
    AfterAFrame();
    const ULONGLONG start = GetTickCount64();
    front_end_.SetStatusText(StatusLine::kDetail, "C:\\a");
    front_end_.SetStatusText(StatusLine::kDetail, "C:\\b");
    front_end_.SetStatusText(StatusLine::kMain, "Searching");
    front_end_.SetStatusText(StatusLine::kDetail, "C:\\c");
    const std::wstring detail = OnScreen(layout::kIdMessage2);
    const std::wstring main_line = OnScreen(layout::kIdMessage);
    if (GetTickCount64() - start >= 10) continue;
    burst_fit_in_a_frame = true;
    EXPECT_EQ(detail, L"C:\\a");  // a frame had passed before it
    EXPECT_EQ(main_line, L"");
  }
  ASSERT_TRUE(burst_fit_in_a_frame) << "every try was stalled for a frame";
  // The next write or pump once the frame is due shows the latest texts;
  // "C:\b" never reaches the screen.
  AfterAFrame();
  EXPECT_EQ(OnScreen(layout::kIdMessage2), L"C:\\c");
  EXPECT_EQ(OnScreen(layout::kIdMessage), L"Searching");

  front_end_.SetStatusText(StatusLine::kDetail, "C:\\d");
  front_end_.SetStatusText(StatusLine::kDetail, "C:\\e");
  // Greying Cancel shows what waits first; from then on every write paints.
  front_end_.SetCancelEnabled(false);
  EXPECT_EQ(OnScreen(layout::kIdMessage2), L"C:\\e");
  front_end_.SetStatusText(StatusLine::kDetail, "D:\\f");
  front_end_.SetStatusText(StatusLine::kDetail, "D:\\g");
  EXPECT_EQ(OnScreen(layout::kIdMessage2), L"D:\\g");

  front_end_.SetCancelEnabled(true);
  front_end_.SetStatusText(StatusLine::kMain, "Done");
  front_end_.SetStatusText(StatusLine::kMain, "Done at last");
  SetTimer(nullptr, 0, 50, AnswerBox);
  HWND main_text = GetDlgItem(window_, layout::kIdMessage);
  seen_under_box.clear();
  // Read by the box's own loop: the text must be there before it opens.
  SetTimer(main_text, 1, 10, ReadUnderBox);
  front_end_.MessageBox("Search?", kButtonsYesNo | kIconExclamation, "Lumbrel box test");
  EXPECT_EQ(seen_under_box, L"Done at last");
}

}  // namespace
}  // namespace platform::windows
