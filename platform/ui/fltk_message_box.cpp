#include "platform/ui/fltk_message_box.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>

#include "platform/ui/gui_text.h"
#include "platform/win32.h"

namespace ui::fltk {

std::vector<BoxButton> ButtonsFor(unsigned int style) {
  switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
      return {{"确定", IDOK}, {"取消", IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{"中止(&A)", IDABORT}, {"重试(&R)", IDRETRY}, {"忽略(&I)", IDIGNORE}};
    case MB_YESNOCANCEL:
      return {{"是(&Y)", IDYES}, {"否(&N)", IDNO}, {"取消", IDCANCEL}};
    case MB_YESNO:
      return {{"是(&Y)", IDYES}, {"否(&N)", IDNO}};
    case MB_RETRYCANCEL:
      return {{"重试(&R)", IDRETRY}, {"取消", IDCANCEL}};
    default:
      return {{"确定", IDOK}};
  }
}

int CloseAnswer(unsigned int style) {
  for (const BoxButton& button : ButtonsFor(style)) {
    if (button.answer == IDCANCEL) return IDCANCEL;
  }
  return (style & MB_TYPEMASK) == MB_OK ? IDOK : 0;
}

namespace {

struct BoxState {
  int answer = 0;
  unsigned int style = 0;
};

// What a button's callback needs: the box's state and the button's answer.
struct ButtonData {
  BoxState* state;
  int answer;
};

const char* IconSymbol(unsigned int style) {
  switch (style & MB_ICONMASK) {
    case MB_ICONHAND:
      return "X";
    case MB_ICONQUESTION:
      return "?";
    case MB_ICONEXCLAMATION:
      return "!";
    case MB_ICONASTERISK:
      return "i";
    default:
      return nullptr;
  }
}

// FLTK's shortcut marker is '&' as on Windows.
std::string ButtonLabel(const char* ansiLabel) { return Utf8FromAnsi(ansiLabel); }

void OnButton(Fl_Widget* widget, void* data) {
  auto* button = static_cast<ButtonData*>(data);
  button->state->answer = button->answer;
  widget->window()->hide();
}

void OnClose(Fl_Widget* widget, void* data) {
  auto* state = static_cast<BoxState*>(data);
  const int answer = CloseAnswer(state->style);
  if (answer == 0) return;  // no Cancel: the box stays until a button is chosen
  state->answer = answer;
  widget->hide();
}

}  // namespace

int RunMessageBox(const std::string& ansiText, const std::string& ansiTitle, unsigned int style) {
  const std::string text = Utf8FromAnsi(ansiText);
  const std::string title = Utf8FromAnsi(ansiTitle);
  const std::vector<BoxButton> buttons = ButtonsFor(style);
  const char* icon = IconSymbol(style);

  fl_font(FL_HELVETICA, 13);
  int textWidth = 0;
  int textHeight = 0;
  fl_measure(text.c_str(), textWidth, textHeight, 0);
  const int margin = 12;
  const int iconSize = icon != nullptr ? 36 : 0;
  const int buttonWidth = 80;
  const int buttonHeight = 26;
  const int buttonsWidth = static_cast<int>(buttons.size()) * (buttonWidth + 8) - 8;
  const int width = std::max(textWidth + iconSize + 3 * margin, buttonsWidth + 2 * margin);
  const int bodyHeight = std::max(textHeight, iconSize);
  const int height = margin + bodyHeight + margin + buttonHeight + margin;

  BoxState state;
  state.style = style;
  auto window = std::make_unique<Fl_Window>(width, height);
  window->copy_label(title.c_str());
  if (icon != nullptr) {
    auto* iconBox = new Fl_Box(FL_ROUND_UP_BOX, margin, margin, iconSize, iconSize, icon);
    iconBox->labelsize(22);
    iconBox->labelfont(FL_HELVETICA_BOLD);
    iconBox->color((style & MB_ICONMASK) == MB_ICONHAND ? FL_RED : FL_BACKGROUND2_COLOR);
  }
  const int textX = margin + (icon != nullptr ? iconSize + margin : 0);
  auto* message = new Fl_Box(textX, margin, width - textX - margin, bodyHeight);
  message->copy_label(text.c_str());
  message->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
  std::vector<ButtonData> buttonData;
  buttonData.reserve(buttons.size());
  int x = (width - buttonsWidth) / 2;
  for (const BoxButton& button : buttons) {
    buttonData.push_back(ButtonData{&state, button.answer});
    auto* widget = new Fl_Button(x, height - margin - buttonHeight, buttonWidth, buttonHeight);
    widget->copy_label(ButtonLabel(button.ansiLabel).c_str());
    widget->callback(OnButton, &buttonData.back());
    x += buttonWidth + 8;
  }
  window->end();
  window->callback(OnClose, &state);
  window->set_modal();
  window->show();
  while (window->shown()) Fl::wait();
  return state.answer != 0 ? state.answer : CloseAnswer(style);
}

}  // namespace ui::fltk
