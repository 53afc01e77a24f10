#include "platform/windows/window/main_window.h"

#include <algorithm>

#include "platform/error.h"
#include "platform/windows/resources.h"
#include "platform/windows/wide_string.h"
#include "platform/windows/window/dpi.h"
#include "platform/windows/window/main_window_logo.h"

namespace platform::windows {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr int kTwipsPerInch = 1440;
constexpr int kStandardDpi = 96;
// Not in the headers for the oldest system the program runs on.
constexpr UINT kGetDpiScaledSize = 0x02E4;
// One display frame at 60 Hz: the screen cannot show texts any faster.
constexpr std::chrono::milliseconds kFrame{16};
// Asking the window system for events is a round trip to it (under Wine
// several times dearer than the search's own work on a file): a pump that
// follows a status write is left out when the last one is younger than this.
// A click then waits at most a quarter of a frame, less than the screen
// could ever show.
constexpr std::chrono::milliseconds kPumpInterval{4};

COLORREF Colour(layout::Rgb rgb) {
  return RGB(rgb.red, rgb.green, rgb.blue);
}

const layout::Control* ControlById(int id) {
  for (const layout::Control& control : layout::kControls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

HICON LoadIconOfSize(HINSTANCE instance, int size) {
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(LUMBREL_ICON), IMAGE_ICON, size, size, 0));
}

void RegisterClassOnce(HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, layout::kWindowClass, &existing)) return;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconOfSize(instance, GetSystemMetrics(SM_CXICON));
  window_class.hIconSm = LoadIconOfSize(instance, GetSystemMetrics(SM_CXSMICON));
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = layout::kWindowClass;
  if (RegisterClassExW(&window_class) == 0) {
    throw PlatformError(kInvalidProcedureCall, "The main window could not be registered");
  }
}

}  // namespace

MainWindow::MainWindow(std::function<void()> on_cancel) : on_cancel_(std::move(on_cancel)) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  RegisterClassOnce(instance);
  // Sized once its monitor, and so its density, is known.
  window_ = CreateWindowExW(kExStyle, layout::kWindowClass, layout::kCaption, kStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, nullptr);
  if (window_ == nullptr) {
    throw PlatformError(kInvalidProcedureCall, "The main window could not be created");
  }
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
  band_brush_ = CreateSolidBrush(Colour(layout::kBandYellow));
  logo_ = LoadLogo(instance);
  CreateControls();
  LayOut(WindowDpi(window_));
  const SIZE frame = FrameSize(dpi_);
  SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

MainWindow::~MainWindow() {
  Destroy();
  if (band_brush_ != nullptr) DeleteObject(band_brush_);
  if (font_ != nullptr) DeleteObject(font_);
  if (subtitle_font_ != nullptr) DeleteObject(subtitle_font_);
  if (logo_ != nullptr) DeleteObject(logo_);
}

int MainWindow::Pixels(int32_t twips) const {
  return MulDiv(twips, dpi_, kTwipsPerInch);
}

int MainWindow::FromStandard(int pixels) const {
  return MulDiv(pixels, dpi_, kStandardDpi);
}

SIZE MainWindow::FrameSize(int dpi) const {
  return windows::FrameSize({MulDiv(layout::kClientWidth, dpi, kTwipsPerInch),
                             MulDiv(layout::kClientHeight, dpi, kTwipsPerInch)},
                            kStyle, kExStyle, dpi);
}

// Placed and given their fonts by LayOut.
void MainWindow::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const layout::Control& control : layout::kControls) {
    const wchar_t* window_class = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SS_NOPREFIX;
    switch (control.kind) {
      case layout::Kind::kBand: style |= SS_LEFT; break;
      case layout::Kind::kTitle: style |= SS_CENTER; break;
      // Breaks a word too long for the box (a path) like an edit box does.
      case layout::Kind::kStatus: style |= SS_LEFT | SS_EDITCONTROL; break;
      case layout::Kind::kPicture: style |= SS_OWNERDRAW; break;
      case layout::Kind::kButton:
        window_class = L"BUTTON";
        // Drawn as the default button; Enter presses it (DM_GETDEFID).
        style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | BS_DEFPUSHBUTTON;
        break;
    }
    HWND child = CreateWindowExW(0, window_class, control.text, style, 0, 0, 0, 0, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                 instance, nullptr);
    if (child == nullptr) {
      throw PlatformError(kInvalidProcedureCall, "The main window's controls could not be created");
    }
    // Each control goes below those placed before it: the table's order.
    SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

// Fonts, controls, rule and logo at `dpi`; the window's own size is the
// caller's, since on a move between monitors the system proposes it.
void MainWindow::LayOut(int dpi) {
  dpi_ = dpi;
  HFONT old_font = font_;
  HFONT old_subtitle_font = subtitle_font_;
  font_ = DefaultFontAt(dpi_);
  subtitle_font_ = CreateFontW(-MulDiv(layout::kSubTitleHundredthsOfPoint, dpi_, 7200), 0, 0, 0,
                               layout::kSubTitleWeight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, layout::kSubTitleFace);
  for (const layout::Control& control : layout::kControls) {
    HWND child = GetDlgItem(window_, control.id);
    SetWindowPos(child, nullptr, Pixels(control.left), Pixels(control.top), Pixels(control.width),
                 Pixels(control.height), SWP_NOZORDER | SWP_NOACTIVATE);
    HFONT font = control.bold && subtitle_font_ != nullptr ? subtitle_font_ : font_;
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  // Only now that no control uses them any more.
  if (old_font != nullptr) DeleteObject(old_font);
  if (old_subtitle_font != nullptr) DeleteObject(old_subtitle_font);
  InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::Show() {
  if (window_ == nullptr || IsWindowVisible(window_)) return;
  if (!shown_once_) {
    RECT frame{};
    GetWindowRect(window_, &frame);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    shown_once_ = true;
  }
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
  SetFocus(GetDlgItem(window_, layout::kIdCancel));
  UpdateWindow(window_);
}

void MainWindow::Destroy() {
  if (window_ == nullptr) return;
  PaintPending();
  HWND window = window_;
  window_ = nullptr;
  DestroyWindow(window);
}

void MainWindow::SetText(layout::ControlId id, const std::string& utf8) {
  if (window_ == nullptr) return;
  auto entry = std::find_if(texts_.begin(), texts_.end(),
                            [id](const StatusText& text) { return text.id == id; });
  if (entry == texts_.end()) {
    entry = texts_.insert(texts_.end(), StatusText{id, GetDlgItem(window_, id), {}, false});
  }
  // Kept as it came, in a buffer that is reused: converted only if painted.
  entry->text.assign(utf8);
  entry->waiting = true;
  paint_waiting_ = true;
  written_since_pump_ = true;
  if (!cancel_enabled_) {
    PaintPending();
  } else {
    PaintIfDue();
  }
}

void MainWindow::PaintIfDue() {
  if (paint_waiting_ && Clock::now() - last_paint_ >= kFrame) PaintPending();
}

// The control's own text changes only here, since setting it is what costs:
// the system repaints the control then.
void MainWindow::PaintPending() {
  if (!paint_waiting_ || window_ == nullptr) return;
  paint_waiting_ = false;
  for (StatusText& text : texts_) {
    if (!text.waiting) continue;
    text.waiting = false;
    SetWindowTextW(text.control, Widen(text.text).c_str());
    // Wine paints a static control inside SetWindowText already; Windows
    // only invalidates it. Either way it is painted once.
    UpdateWindow(text.control);
  }
  last_paint_ = Clock::now();
}

void MainWindow::SetCancelEnabled(bool enabled) {
  if (window_ == nullptr) return;
  PaintPending();
  cancel_enabled_ = enabled;
  HWND button = GetDlgItem(window_, layout::kIdCancel);
  EnableWindow(button, enabled ? TRUE : FALSE);
  RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void MainWindow::PumpEvents() {
  PaintIfDue();
  const Clock::time_point now = Clock::now();
  if (written_since_pump_ && !click_held_ && now - last_pump_ < kPumpInterval) return;
  written_since_pump_ = false;
  last_pump_ = now;
  pumping_ = true;
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to take: leave it for whoever runs the outer loop.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (window_ != nullptr && IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (click_held_) {
    click_held_ = false;
    Click();
  }
  pumping_ = false;
}

void MainWindow::Click() {
  if (window_ == nullptr || !IsWindowEnabled(GetDlgItem(window_, layout::kIdCancel))) return;
  if (!pumping_) {
    click_held_ = true;
    return;
  }
  if (on_cancel_) on_cancel_();
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (self->window_ == window) self->window_ = nullptr;
  }
  return self->OnMessage(window, message, wparam, lparam);
}

LRESULT MainWindow::OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == IDCANCEL) Click();
      return 0;
    case DM_GETDEFID: return MAKELONG(layout::kIdCancel, DC_HASDEFID);
    case WM_ACTIVATE:
      // Back from a message box (or another program) the keys go to Cancel
      // again, so that Enter and Space press it; not while a box still keeps
      // the window disabled.
      if (LOWORD(wparam) == WA_INACTIVE || !cancel_enabled_ || !IsWindowEnabled(window)) break;
      SetFocus(GetDlgItem(window, layout::kIdCancel));
      return 0;
    case WM_DPICHANGED: {
      LayOut(HIWORD(wparam));
      const RECT& proposed = *reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window, nullptr, proposed.left, proposed.top, proposed.right - proposed.left,
                   proposed.bottom - proposed.top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case kGetDpiScaledSize:
      // The client area keeps its size in twips exactly, whatever the frame.
      *reinterpret_cast<SIZE*>(lparam) = FrameSize(static_cast<int>(wparam));
      return TRUE;
    case WM_CLOSE:
      // The close box is Cancel while Cancel is enabled; nothing ever closes
      // the window under the running repair.
      Click();
      return 0;
    case WM_CTLCOLORSTATIC:
      return ColourStatic(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DRAWITEM: DrawPicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)); return TRUE;
    case WM_PAINT: Paint(window); return 0;
    default: break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT MainWindow::ColourStatic(HDC dc, HWND control) {
  const layout::Control* design = ControlById(GetDlgCtrlID(control));
  SetBkColor(dc, Colour(layout::kBandYellow));
  if (design != nullptr) SetTextColor(dc, Colour(design->colour));
  return reinterpret_cast<LRESULT>(band_brush_);
}

void MainWindow::DrawPicture(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, band_brush_);
  if (logo_ == nullptr) return;
  BITMAP size{};
  GetObjectW(logo_, sizeof size, &size);
  HDC memory = CreateCompatibleDC(item.hDC);
  HGDIOBJ previous = SelectObject(memory, logo_);
  // At the box's top-left corner, as large as the picture is at 96 DPI;
  // smoothed when enlarged, so the lettering keeps its soft edges.
  const int width = FromStandard(size.bmWidth);
  const int height = FromStandard(size.bmHeight);
  if (width == size.bmWidth && height == size.bmHeight) {
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, memory, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(item.hDC, HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    StretchBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, memory, 0, 0,
               size.bmWidth, size.bmHeight, SRCCOPY);
  }
  SelectObject(memory, previous);
  DeleteDC(memory);
}

void MainWindow::Paint(HWND window) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(window, &paint);
  // Each line is the pixel row it is at 96 DPI, grown with the density.
  for (const layout::Rule& rule : layout::kRules) {
    const int standard_row = MulDiv(rule.top, kStandardDpi, kTwipsPerInch);
    RECT row{0, FromStandard(standard_row), Pixels(layout::kClientWidth),
             FromStandard(standard_row + 1)};
    HBRUSH brush = CreateSolidBrush(Colour(rule.colour));
    FillRect(dc, &row, brush);
    DeleteObject(brush);
  }
  EndPaint(window, &paint);
}

}  // namespace platform::windows
