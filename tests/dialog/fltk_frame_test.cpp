// The FLTK back end on a private Xvfb: the layout of template 102 with its
// Chinese texts, posted commands, the bars' 32-bit ranges, the close rule,
// the about box, message boxes, the message pump and the control trace.
#include "platform/ui/fltk_frame.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Progress.H>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/ui/fltk_layout.h"
#include "platform/ui/fltk_message_box.h"
#include "platform/ui/gui_frames.h"
#include "platform/ui/gui_title.h"
#include "tests/dialog/scripted_handler.h"
#include <unistd.h>

namespace {

using ui::fltk::FltkFrame;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::unique_ptr<FltkFrame> MakeFrame() {
  std::unique_ptr<ui::DialogFrame> frame = ui::CreateGuiFrame();
  if (!frame) return nullptr;
  return std::unique_ptr<FltkFrame>(static_cast<FltkFrame*>(frame.release()));
}

std::string LabelOf(const FltkFrame& frame, int id) {
  Fl_Widget* widget = frame.Control(id);
  return widget != nullptr && widget->label() != nullptr ? widget->label() : "";
}

float BarValue(const FltkFrame& frame, int id) { return static_cast<Fl_Progress*>(frame.Control(id))->value(); }

// Runs a step from inside the next modal loop (the dialog's or a box's).
void Later(std::function<void()> step) {
  auto* held = new std::function<void()>(std::move(step));
  Fl::add_timeout(0.05, [](void* data) {
    auto* step = static_cast<std::function<void()>*>(data);
    (*step)();
    delete step;
  }, held);
}

// The shown window, other than the dialog, whose title is this text.
Fl_Window* WindowTitled(const std::string& title) {
  for (Fl_Window* window = Fl::first_window(); window != nullptr; window = Fl::next_window(window)) {
    if (window->label() != nullptr && title == window->label()) return window;
  }
  return nullptr;
}

// The button of a window whose label is this text, pressed as by a click.
bool PressButton(Fl_Window* window, const std::string& label) {
  for (int i = 0; i < window->children(); ++i) {
    Fl_Widget* child = window->child(i);
    if (child->label() != nullptr && label == child->label()) {
      child->do_callback();
      return true;
    }
  }
  return false;
}

class FltkFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ui::GuiAvailable()) GTEST_SKIP() << "no X display (run through with-xvfb.sh)";
    frame = MakeFrame();
    ASSERT_NE(frame, nullptr);
  }
  void ClickClose() { static_cast<Fl_Button*>(frame->Control(ui::kCloseButton))->do_callback(); }

  std::unique_ptr<FltkFrame> frame;
  ScriptedHandler handler;
};

TEST_F(FltkFrameTest, LayoutIsTemplate102ScaledWithItsChineseTexts) {
  handler.onInit = [&] {
    Fl_Double_Window* window = frame->Window();
    EXPECT_STREQ(window->label(), "Tavlen Updater");
    EXPECT_EQ(window->w(), ui::fltk::PixelsX(329));
    EXPECT_EQ(window->h(), ui::fltk::PixelsY(83));
    EXPECT_EQ(LabelOf(*frame, ui::kCloseButton), U8(u8"关闭"));
    EXPECT_EQ(LabelOf(*frame, ui::kUpdateButton), U8(u8"更新"));
    EXPECT_EQ(LabelOf(*frame, ui::kCurrentLabel), U8(u8"当前版本号："));
    EXPECT_EQ(LabelOf(*frame, ui::kNewestLabel), "");
    EXPECT_EQ(LabelOf(*frame, ui::kStatusText), "");
    std::vector<std::string> fixed;
    for (int i = 0; i < window->children(); ++i) {
      Fl_Widget* child = window->child(i);
      bool addressed = false;
      for (int id : {2, 1000, 1001, 1002, 1003, 1004, 1005}) addressed = addressed || frame->Control(id) == child;
      if (!addressed) fixed.push_back(child->label() != nullptr ? child->label() : "");
    }
    EXPECT_EQ(fixed, (std::vector<std::string>{U8(u8"目前状态"), U8(u8"当前文件"), U8(u8"  全  部")}));
    Fl_Widget* bar = frame->Control(ui::kFileBar);
    EXPECT_NE(dynamic_cast<Fl_Progress*>(bar), nullptr);
    EXPECT_EQ(bar->x(), ui::fltk::PixelsX(48));
    EXPECT_EQ(bar->y(), ui::fltk::PixelsY(34));
    EXPECT_EQ(bar->w(), ui::fltk::PixelsX(274));
    Fl_Widget* update = frame->Control(ui::kUpdateButton);
    EXPECT_EQ(update->x(), ui::fltk::PixelsX(88));
    EXPECT_EQ(update->y(), ui::fltk::PixelsY(62));
    EXPECT_FALSE(frame->HasControl(4711));
    ClickClose();
  };
  EXPECT_EQ(frame->RunModal(handler), IDCANCEL);
  EXPECT_EQ(handler.initCount, 1);
}

TEST_F(FltkFrameTest, HandleIsTheTopLevelWindowAndPostedCommandsWaitForTheLoop) {
  bool initialised = false;
  handler.onInit = [&] {
    frame->PostCommand(ui::kUpdateButton);
    EXPECT_TRUE(handler.commands.empty()) << "a posted command must not run inside initialisation";
    initialised = true;
  };
  handler.onCommand = [&](int) {
    EXPECT_TRUE(initialised);
    HWND handle = frame->Handle();
    ASSERT_NE(handle, nullptr);
    EXPECT_TRUE(IsWindow(handle));
    // The send-message action finds the dialog by its caption.
    EXPECT_EQ(FindWindowA(nullptr, "Tavlen Updater"), handle);
    ClickClose();
  };
  frame->RunModal(handler);
  EXPECT_EQ(handler.commands, std::vector<int>{ui::kUpdateButton});
  EXPECT_EQ(frame->Handle(), nullptr);
}

TEST_F(FltkFrameTest, BarsShowTheFractionOfTheFull32BitRange) {
  handler.onInit = [&] {
    frame->SetBarRange(ui::kFileBar, 100000);
    frame->SetBarPosition(ui::kFileBar, 70000);
    EXPECT_FLOAT_EQ(BarValue(*frame, ui::kFileBar), 0.7f);
    frame->SetBarRange(ui::kTotalBar, 2147483647);
    frame->SetBarPosition(ui::kTotalBar, 1073741824);
    EXPECT_NEAR(BarValue(*frame, ui::kTotalBar), 0.5f, 1e-6);
    // Out of range positions are kept in the range, as a Win32 bar keeps them.
    frame->SetBarPosition(ui::kFileBar, 200000);
    EXPECT_FLOAT_EQ(BarValue(*frame, ui::kFileBar), 1.0f);
    frame->SetBarPosition(ui::kFileBar, -5);
    EXPECT_FLOAT_EQ(BarValue(*frame, ui::kFileBar), 0.0f);
    // A new range re-reads the position kept.
    frame->SetBarPosition(ui::kFileBar, 500);
    frame->SetBarRange(ui::kFileBar, 1000);
    EXPECT_FLOAT_EQ(BarValue(*frame, ui::kFileBar), 0.5f);
    // Code page 936 bytes ("最新版本号：2.0.0.1") appear as UTF-8 for FLTK.
    frame->SetControlText(ui::kNewestLabel, "\xD7\xEE\xD0\xC2\xB0\xE6\xB1\xBE\xBA\xC5\xA3\xBA" "2.0.0.1");
    EXPECT_EQ(LabelOf(*frame, ui::kNewestLabel), U8(u8"最新版本号：2.0.0.1"));
    ClickClose();
  };
  frame->RunModal(handler);
}

TEST(FltkBarFraction, ClampsAndAvoidsOverflow) {
  EXPECT_DOUBLE_EQ(ui::fltk::BarFraction(0, 0), 0.0);
  EXPECT_DOUBLE_EQ(ui::fltk::BarFraction(5, 0), 0.0);
  EXPECT_DOUBLE_EQ(ui::fltk::BarFraction(5, -1), 0.0);
  EXPECT_DOUBLE_EQ(ui::fltk::BarFraction(-1, 10), 0.0);
  EXPECT_DOUBLE_EQ(ui::fltk::BarFraction(11, 10), 1.0);
  EXPECT_DOUBLE_EQ(ui::fltk::BarFraction(3, 10), 0.3);
  EXPECT_LT(ui::fltk::BarFraction(2147483646, 2147483647), 1.0);
  EXPECT_GT(ui::fltk::BarFraction(2147483646, 2147483647), 0.999999);
}

TEST_F(FltkFrameTest, CloseEndsTheDialogOnlyWhileTheCloseButtonIsEnabled) {
  int attempts = 0;
  handler.onInit = [&] {
    frame->EnableControl(ui::kCloseButton, false);
    frame->EnableControl(ui::kUpdateButton, false);
    EXPECT_FALSE(frame->Control(ui::kCloseButton)->active());
    // The close box, Escape (the window's callback), WM_CLOSE and the commands.
    frame->Window()->do_callback();
    SendMessageA(frame->Handle(), WM_CLOSE, 0, 0);
    SendMessageA(frame->Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    frame->Command(IDCANCEL);
    frame->PostCommand(4242);
  };
  handler.onCommand = [&](int id) {
    ASSERT_EQ(id, 4242);
    ++attempts;
    EXPECT_TRUE(frame->Window()->shown()) << "the dialog was ended while its close button was disabled";
    frame->EnableControl(ui::kCloseButton, true);
    frame->EnableControl(ui::kUpdateButton, true);
    SendMessageA(frame->Handle(), WM_CLOSE, 0, 0);
  };
  frame->RunModal(handler);
  EXPECT_EQ(attempts, 1);
  EXPECT_FALSE(frame->Window()->shown());
}

TEST_F(FltkFrameTest, SystemCommand16ShowsTheAboutBox) {
  std::vector<std::string> labels;
  handler.onInit = [&] { frame->PostCommand(ui::kUpdateButton); };
  handler.onCommand = [&](int) {
    Later([&] {
      Fl_Window* about = WindowTitled("About Updater");
      ASSERT_NE(about, nullptr);
      EXPECT_TRUE(about->modal());
      for (int i = 0; i < about->children(); ++i) {
        if (about->child(i)->label() != nullptr) labels.push_back(about->child(i)->label());
      }
      EXPECT_TRUE(PressButton(about, "OK"));
    });
    SendMessageA(frame->Handle(), WM_SYSCOMMAND, 16 | 0x2, 0);
    ClickClose();
  };
  frame->RunModal(handler);
  ASSERT_GE(labels.size(), 3u);
  EXPECT_EQ(labels[0], "Updater Version 1.0");
  EXPECT_EQ(labels.back(), "OK");
}

TEST_F(FltkFrameTest, MessageBoxIsModalWithTheProgramTitleAndAnswersWithTheButtonChosen) {
  int answer = 0;
  bool modal = false;
  handler.onInit = [&] { frame->PostCommand(ui::kUpdateButton); };
  handler.onCommand = [&](int) {
    Later([&] {
      Fl_Window* box = WindowTitled(ui::ProgramTitle());
      ASSERT_NE(box, nullptr);
      modal = box->modal();
      // No Cancel button: the close box does nothing.
      box->do_callback();
      EXPECT_TRUE(box->shown());
      EXPECT_TRUE(PressButton(box, U8(u8"重试(&R)")));
    });
    // "文件下载失败" in code page 936.
    answer = frame->MessageBox("\xCE\xC4\xBC\xFE\xCF\xC2\xD4\xD8\xCA\xA7\xB0\xDC", MB_ABORTRETRYIGNORE | MB_ICONERROR);
    ClickClose();
  };
  frame->RunModal(handler);
  EXPECT_EQ(answer, IDRETRY);
  EXPECT_TRUE(modal);
  EXPECT_EQ(ui::ProgramTitle(), "dialog_fltk_test");
}

TEST(FltkMessageBox, ButtonsAndAnswersFollowTheStyle) {
  auto answers = [](unsigned style) {
    std::vector<int> result;
    for (const auto& button : ui::fltk::ButtonsFor(style)) result.push_back(button.answer);
    return result;
  };
  EXPECT_EQ(answers(MB_OK | MB_ICONINFORMATION), std::vector<int>{IDOK});
  EXPECT_EQ(answers(MB_OKCANCEL), (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(answers(MB_ABORTRETRYIGNORE | MB_ICONSTOP), (std::vector<int>{IDABORT, IDRETRY, IDIGNORE}));
  EXPECT_EQ(answers(MB_YESNOCANCEL), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
  EXPECT_EQ(answers(MB_YESNO), (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(answers(MB_RETRYCANCEL), (std::vector<int>{IDRETRY, IDCANCEL}));
  EXPECT_EQ(ui::fltk::CloseAnswer(MB_OK), IDOK);
  EXPECT_EQ(ui::fltk::CloseAnswer(MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(ui::fltk::CloseAnswer(MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(ui::fltk::CloseAnswer(MB_ABORTRETRYIGNORE), 0);
  EXPECT_EQ(ui::fltk::CloseAnswer(MB_YESNO), 0);
}

TEST_F(FltkFrameTest, PeekMessageRunsPendingFltkEventsThroughThePump) {
  bool ran = false;
  handler.onInit = [&] { frame->PostCommand(ui::kUpdateButton); };
  handler.onCommand = [&](int) {
    // Inside a handler, as during a download: only PeekMessageA services FLTK.
    Fl::add_timeout(0.0, [](void* flag) { *static_cast<bool*>(flag) = true; }, &ran);
    MSG msg{};
    bool serviced = false;
    // The pump looks at the display at most once per millisecond tick.
    const DWORD start = GetTickCount();
    while (!ran && GetTickCount() - start < 2000) {
      if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) serviced = true;
    }
    EXPECT_TRUE(ran);
    EXPECT_TRUE(serviced);
    ClickClose();
  };
  frame->RunModal(handler);
}

TEST(FltkTrace, ControlChangesAreTracedWithBarsInPercentSteps) {
  if (!ui::GuiAvailable()) GTEST_SKIP() << "no X display (run through with-xvfb.sh)";
  const std::string path = ::testing::TempDir() + "dialog-trace-" + std::to_string(getpid()) + ".txt";
  std::remove(path.c_str());
  setenv("TAVLEN_UI_TRACE", path.c_str(), 1);
  std::unique_ptr<FltkFrame> frame = MakeFrame();
  unsetenv("TAVLEN_UI_TRACE");
  ScriptedHandler handler;
  handler.onInit = [&] {
    frame->EnableControl(ui::kUpdateButton, false);
    frame->SetControlText(ui::kStatusText, "abc");
    frame->SetBarRange(ui::kFileBar, 100000);
    for (int position = 0; position <= 100000; position += 7) frame->SetBarPosition(ui::kFileBar, position);
    frame->SetBarPosition(ui::kFileBar, 100000);
    frame->EnableControl(ui::kUpdateButton, true);
    frame->Command(IDCANCEL);
  };
  frame->RunModal(handler);
  std::ifstream in(path);
  std::vector<std::string> lines;
  int positions = 0;
  std::vector<std::string> rects;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("1001 pos ", 0) == 0) {
      ++positions;
    } else if (line.find(" rect ") != std::string::npos) {
      rects.push_back(line);
    } else {
      lines.push_back(line);
    }
  }
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front().rfind("window ", 0), 0u);
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
            (std::vector<std::string>{"1002 enabled 0", "1000 text abc", "1001 range 100000", "1002 enabled 1",
                                      "closed"}));
  // The buttons' places on the screen, for tests that click them.
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_EQ(rects[0].rfind("1002 rect ", 0), 0u);
  EXPECT_EQ(rects[1].rfind("2 rect ", 0), 0u);
  // One line per whole percent, plus the start and the end.
  EXPECT_GE(positions, 100);
  EXPECT_LE(positions, 102);
  std::remove(path.c_str());
}

}  // namespace
