// The about box (template 100) of the FLTK back end, and the program icon
// (resource 128) drawn for FLTK.
#pragma once

class Fl_RGB_Image;

namespace ui::fltk {

// Shows "About Updater" modally until its OK button or close box is used.
void RunAboutBox();
// The program icon at 32 x 32 pixels; built once, owned here.
const Fl_RGB_Image* ProgramIcon();

}  // namespace ui::fltk
