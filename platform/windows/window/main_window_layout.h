#pragma once

// The main window's layout in twips, independent of the screen; main_window.cpp
// converts to pixels with the screen's actual density.

#include <cstdint>

namespace platform::windows::layout {

struct Rgb {
  uint8_t red, green, blue;
};

inline constexpr Rgb kBandYellow{255, 255, 208};
inline constexpr Rgb kTextBrown{128, 64, 0};
inline constexpr Rgb kDetailGrey{64, 64, 64};
inline constexpr Rgb kRuleGrey{128, 128, 128};
inline constexpr Rgb kRuleWhite{255, 255, 255};

inline constexpr wchar_t kCaption[] = L"Quarnel Lumbrel Restore";
// The window class, by which a second copy of the program finds the first.
inline constexpr wchar_t kWindowClass[] = L"LumbrelRestoreMainWindow";
inline constexpr int32_t kClientWidth = 4860;
inline constexpr int32_t kClientHeight = 4500;

enum class Kind { kBand, kTitle, kStatus, kPicture, kButton };

// Control ids; IDCANCEL (2) for the button, so Escape and the dialog
// manager find it.
enum ControlId : int32_t {
  kIdCancel = 2,
  kIdText2 = 100,
  kIdSubTitle,
  kIdMessage2,
  kIdMessage,
  kIdPicture,
  kIdText1,
  kIdText4,
  kIdText3,
};

struct Control {
  ControlId id;
  Kind kind;
  int32_t left, top, width, height;
  const wchar_t* text;
  Rgb colour;  // text colour; bands and the picture are band yellow
  bool bold;   // the subtitle's own font
};

// From the top of the stacking order to the bottom: an earlier control is
// drawn over a later one, so the bands lie beneath what sits on them.
inline constexpr Control kControls[] = {
    {kIdText2, Kind::kTitle, 2580, 390, 2115, 255, L"Lumbrel Restore", kTextBrown, false},
    {kIdSubTitle, Kind::kTitle, 2670, 150, 2025, 255, L"Quarnel", kTextBrown, true},
    {kIdCancel, Kind::kButton, 3510, 4020, 1215, 375, L"Cancel", kTextBrown, false},
    {kIdMessage2, Kind::kStatus, 120, 2640, 4605, 945, L"", kDetailGrey, false},
    {kIdMessage, Kind::kStatus, 120, 810, 4605, 1275, L"", kTextBrown, false},
    {kIdPicture, Kind::kPicture, 120, 60, 2445, 645, L"", kBandYellow, false},
    {kIdText1, Kind::kBand, 0, 720, 4875, 1695, L"", kBandYellow, false},
    {kIdText4, Kind::kBand, 0, 0, 4875, 705, L"", kBandYellow, false},
    {kIdText3, Kind::kBand, 0, 2400, 4875, 1455, L"", kBandYellow, false},
};

// The etched rule across the whole client width: grey, then white 10 twips
// lower.
struct Rule {
  int32_t top;
  Rgb colour;
};
inline constexpr Rule kRules[] = {{3870, kRuleGrey}, {3880, kRuleWhite}};

// The subtitle's font: MS Sans Serif, 8.25 points, bold, character set 0.
inline constexpr wchar_t kSubTitleFace[] = L"MS Sans Serif";
inline constexpr int32_t kSubTitleHundredthsOfPoint = 825;
inline constexpr int32_t kSubTitleWeight = 700;

}  // namespace platform::windows::layout
