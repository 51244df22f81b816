#include "platform/ui/fltk_about.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Window.H>

#include <cmath>
#include <memory>

#include "platform/ui/fltk_layout.h"
#include "platform/ui/gui_text.h"

namespace ui::fltk {

namespace {

constexpr int kIconSize = 32;

// The same picture as app/resources/make_icon.py draws into updater.ico: a
// blue rounded square with a white arrow pointing down onto a bar.
bool InRoundedSquare(int x, int y) {
  constexpr int kLow = 1;
  constexpr int kHigh = 30;
  constexpr int kRadius = 6;
  if (x < kLow || x > kHigh || y < kLow || y > kHigh) return false;
  const int cx = x < kLow + kRadius ? kLow + kRadius : (x > kHigh - kRadius ? kHigh - kRadius : x);
  const int cy = y < kLow + kRadius ? kLow + kRadius : (y > kHigh - kRadius ? kHigh - kRadius : y);
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= kRadius * kRadius;
}

bool InArrow(int x, int y) {
  if (x >= 13 && x <= 18 && y >= 6 && y <= 16) return true;
  if (y >= 17 && y <= 25 && std::fabs(x - 15.5) <= 25 - y) return true;
  return y >= 27 && y <= 28 && x >= 8 && x <= 23;
}

const char* const kSecondLine = "自动更新 Tavlen 的安装";

void OnOk(Fl_Widget* widget, void*) { widget->window()->hide(); }

}  // namespace

const Fl_RGB_Image* ProgramIcon() {
  static unsigned char pixels[kIconSize * kIconSize * 4];
  static std::unique_ptr<Fl_RGB_Image> image;
  if (!image) {
    for (int y = 0; y < kIconSize; ++y) {
      for (int x = 0; x < kIconSize; ++x) {
        unsigned char* pixel = pixels + (y * kIconSize + x) * 4;
        const bool inside = InRoundedSquare(x, y);
        const bool white = inside && InArrow(x, y);
        pixel[0] = white ? 255 : 0x1E;
        pixel[1] = white ? 255 : 0x6F;
        pixel[2] = white ? 255 : 0xD9;
        pixel[3] = inside ? 255 : 0;
      }
    }
    image = std::make_unique<Fl_RGB_Image>(pixels, kIconSize, kIconSize, 4);
  }
  return image.get();
}

void RunAboutBox() {
  Fl_Window window(PixelsX(235), PixelsY(55), "About Updater");
  auto* icon = new Fl_Box(PixelsX(11), PixelsY(17), kIconSize, kIconSize);
  icon->image(const_cast<Fl_RGB_Image*>(ProgramIcon()));
  auto* version = new Fl_Box(PixelsX(40), PixelsY(10), PixelsX(119), PixelsY(8), "Updater Version 1.0");
  version->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  auto* second = new Fl_Box(PixelsX(40), PixelsY(25), PixelsX(119), PixelsY(8));
  second->copy_label(Utf8FromAnsi(kSecondLine).c_str());
  second->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
  auto* ok = new Fl_Return_Button(PixelsX(178), PixelsY(7), PixelsX(50), PixelsY(14), "OK");
  ok->callback(OnOk);
  window.end();
  window.set_modal();
  window.show();
  while (window.shown()) Fl::wait();
}

}  // namespace ui::fltk
