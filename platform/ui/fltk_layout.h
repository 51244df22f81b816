// The progress dialog's template 102 for the FLTK back end: the controls in
// template order with their positions in dialog units, and the fixed scale
// that turns dialog units into pixels ("MS Sans Serif" 8 has a base unit of
// about 6 x 13 pixels, so one dialog unit is 1.5 x 1.625 pixels; the height
// is rounded up a little so that the Chinese glyphs fit their boxes).
#pragma once

namespace ui::fltk {

enum class ControlKind { kButton, kStatic, kBar };

struct ControlLayout {
  int id;  // 0: a static text nobody addresses
  ControlKind kind;
  const char* ansiText;  // code page 936, like every text of the program
  int x, y, width, height;  // dialog units
};

inline constexpr int kDialogWidth = 329;
inline constexpr int kDialogHeight = 83;
inline constexpr const char* kDialogTitle = "Tavlen Updater";

inline constexpr ControlLayout kTemplate102[] = {
    {2, ControlKind::kButton, "关闭", 186, 62, 50, 14},
    {0, ControlKind::kStatic, "目前状态", 7, 20, 38, 10},
    {1001, ControlKind::kBar, "", 48, 34, 274, 9},
    {1002, ControlKind::kButton, "更新", 88, 62, 50, 14},
    {1000, ControlKind::kStatic, "", 49, 20, 273, 8},
    {1004, ControlKind::kStatic, "当前版本号：", 7, 7, 144, 11},
    {1005, ControlKind::kStatic, "", 178, 7, 144, 11},
    {0, ControlKind::kStatic, "当前文件", 7, 33, 34, 9},
    {1003, ControlKind::kBar, "", 48, 47, 274, 9},
    {0, ControlKind::kStatic, "  全  部", 7, 47, 34, 9},
};

// Pixels from dialog units (x: 3/2, y: 7/4).
constexpr int PixelsX(int dialogUnits) { return dialogUnits * 3 / 2; }
constexpr int PixelsY(int dialogUnits) { return dialogUnits * 7 / 4; }

// The fraction of a bar with range 0..total at a position, clamped as a
// Win32 progress bar clamps its position into its range.
double BarFraction(int position, int total);

}  // namespace ui::fltk
