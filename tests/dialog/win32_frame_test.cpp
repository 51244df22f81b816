// The Win32 back end under wine: the dialog built from template 102, the
// bars' 32-bit ranges, the close button's rule, the system menu with the
// about box, the icon, and message boxes owned by the dialog.
#include "platform/ui/win32_frame.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/ui/gui_title.h"
#include "tests/dialog/dialog_template.h"
#include "tests/dialog/scripted_handler.h"

namespace {

using ui::win32::Win32Frame;

std::wstring TextOf(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

std::wstring ClassOf(HWND window) {
  wchar_t buffer[64] = {};
  GetClassNameW(window, buffer, 64);
  return buffer;
}

// Ends the dialog as a user would: a click on the close button.
void ClickClose(HWND dialog) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(ui::kCloseButton, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, ui::kCloseButton)));
}

// A timer procedure cannot take a lambda with state; the tests hand it one.
std::function<void()> g_onTimer;
void CALLBACK RunTimerHook(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (g_onTimer) g_onTimer();
}
void AfterModalLoopStarts(std::function<void()> step) {
  g_onTimer = std::move(step);
  SetTimer(nullptr, 0, 50, RunTimerHook);
}

// The enabled top-level dialog window of this thread with this caption.
HWND FindDialog(const wchar_t* caption) { return FindWindowW(L"#32770", caption); }

TEST(Win32Frame, DialogComesFromTemplate102) {
  Win32Frame frame;
  ScriptedHandler handler;
  handler.onInit = [&] { frame.PostCommand(ui::kUpdateButton); };
  handler.onCommand = [&](int) {
    HWND dialog = frame.Handle();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(dialog), L"Tavlen Updater");
    const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
    for (DWORD bit : {DWORD{WS_POPUP}, DWORD{WS_VISIBLE}, DWORD{WS_CAPTION}}) EXPECT_EQ(style & bit, bit);
    EXPECT_EQ(style & WS_SYSMENU, 0u) << "no system-menu box in the caption";
    EXPECT_EQ(style & WS_MINIMIZEBOX, 0u);
    EXPECT_NE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

    EXPECT_EQ(TextOf(GetDlgItem(dialog, ui::kCloseButton)), L"关闭");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, ui::kUpdateButton)), L"更新");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, ui::kCurrentLabel)), L"当前版本号：");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, ui::kNewestLabel)), L"");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, ui::kStatusText)), L"");
    for (int bar : {ui::kFileBar, ui::kTotalBar}) {
      HWND item = GetDlgItem(dialog, bar);
      EXPECT_EQ(ClassOf(item), L"msctls_progress32");
      EXPECT_NE(GetWindowLongW(item, GWL_STYLE) & PBS_SMOOTH, 0);
    }
    // The fixed labels in template order, Chinese as characters.
    std::vector<std::wstring> statics;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      if (ClassOf(child) == L"Static" && (GetDlgCtrlID(child) == -1 || GetDlgCtrlID(child) == 0xFFFF)) statics.push_back(TextOf(child));
    }
    EXPECT_EQ(statics, (std::vector<std::wstring>{L"目前状态", L"当前文件", L"  全  部"}));
    // Neither push button is the default button.
    for (int button : {ui::kCloseButton, ui::kUpdateButton}) {
      EXPECT_EQ(GetWindowLongW(GetDlgItem(dialog, button), GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
    }
    // 329 x 83 dialog units.
    RECT units{0, 0, 329, 83};
    MapDialogRect(dialog, &units);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
    ClickClose(dialog);
  };
  EXPECT_EQ(frame.RunModal(handler), IDCANCEL);
  EXPECT_EQ(handler.initCount, 1);
  EXPECT_EQ(handler.commands, std::vector<int>{ui::kUpdateButton});
  EXPECT_EQ(frame.Handle(), nullptr);
}

TEST(Win32Frame, Template102HasTheTenControlsInOrder) {
  DialogTemplate dialog;
  ASSERT_TRUE(LoadDialogTemplateEx(ui::win32::kDialogTemplate, dialog));
  EXPECT_EQ(dialog.style, 0x90C000C0u);
  EXPECT_EQ(dialog.exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
  EXPECT_EQ(dialog.width, 329);
  EXPECT_EQ(dialog.height, 83);
  EXPECT_EQ(dialog.caption, L"Tavlen Updater");
  EXPECT_EQ(dialog.fontPoints, 8);
  EXPECT_EQ(dialog.fontName, L"MS Sans Serif");
  struct Expected {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    int x, y, width, height;
    DWORD style;
  };
  constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
  constexpr DWORD kStatic = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;
  constexpr DWORD kBar = WS_CHILD | WS_VISIBLE | WS_BORDER | PBS_SMOOTH;
  const Expected expected[] = {
      {2, L"#0080", L"关闭", 186, 62, 50, 14, kButton},
      {-1, L"#0082", L"目前状态", 7, 20, 38, 10, kStatic},
      {1001, L"msctls_progress32", L"", 48, 34, 274, 9, kBar},
      {1002, L"#0080", L"更新", 88, 62, 50, 14, kButton},
      {1000, L"#0082", L"", 49, 20, 273, 8, kStatic},
      {1004, L"#0082", L"当前版本号：", 7, 7, 144, 11, kStatic},
      {1005, L"#0082", L"", 178, 7, 144, 11, kStatic},
      {-1, L"#0082", L"当前文件", 7, 33, 34, 9, kStatic},
      {1003, L"msctls_progress32", L"", 48, 47, 274, 9, kBar},
      {-1, L"#0082", L"  全  部", 7, 47, 34, 9, kStatic},
  };
  ASSERT_EQ(dialog.items.size(), std::size(expected));
  for (std::size_t i = 0; i < dialog.items.size(); ++i) {
    const TemplateItem& item = dialog.items[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(item.id, expected[i].id);
    EXPECT_EQ(_wcsicmp(item.className.c_str(), expected[i].className), 0) << "class " << item.className.size();
    EXPECT_EQ(item.text, expected[i].text);
    EXPECT_EQ(item.x, expected[i].x);
    EXPECT_EQ(item.y, expected[i].y);
    EXPECT_EQ(item.width, expected[i].width);
    EXPECT_EQ(item.height, expected[i].height);
    EXPECT_EQ(item.style, expected[i].style);
  }
}

TEST(Win32Frame, PostedCommandWaitsForTheModalLoop) {
  Win32Frame frame;
  ScriptedHandler handler;
  bool initialised = false;
  handler.onInit = [&] {
    frame.PostCommand(ui::kUpdateButton);
    EXPECT_TRUE(handler.commands.empty()) << "a posted command must not run inside initialisation";
    initialised = true;
  };
  handler.onCommand = [&](int) {
    EXPECT_TRUE(initialised);
    ClickClose(frame.Handle());
  };
  frame.RunModal(handler);
  EXPECT_EQ(handler.commands, std::vector<int>{ui::kUpdateButton});
}

TEST(Win32Frame, BarsTakeTheFull32BitRangeAndTextsAreCodePage936) {
  Win32Frame frame;
  ScriptedHandler handler;
  handler.onInit = [&] {
    HWND dialog = frame.Handle();
    frame.SetBarRange(ui::kFileBar, 100000);
    frame.SetBarPosition(ui::kFileBar, 70000);
    EXPECT_EQ(SendDlgItemMessageW(dialog, ui::kFileBar, PBM_GETRANGE, FALSE, 0), 100000);
    EXPECT_EQ(SendDlgItemMessageW(dialog, ui::kFileBar, PBM_GETPOS, 0, 0), 70000);
    frame.SetBarRange(ui::kTotalBar, 2147483647);
    frame.SetBarPosition(ui::kTotalBar, 2000000000);
    EXPECT_EQ(SendDlgItemMessageW(dialog, ui::kTotalBar, PBM_GETRANGE, FALSE, 0), 2147483647);
    EXPECT_EQ(SendDlgItemMessageW(dialog, ui::kTotalBar, PBM_GETPOS, 0, 0), 2000000000);
    // The program's texts are code page 936 bytes ("最新版本号：2.0.0.1").
    frame.SetControlText(ui::kNewestLabel, "\xD7\xEE\xD0\xC2\xB0\xE6\xB1\xBE\xBA\xC5\xA3\xBA" "2.0.0.1");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, ui::kNewestLabel)), L"最新版本号：2.0.0.1");
    frame.SetControlText(ui::kStatusText, "abc");
    frame.SetControlText(ui::kStatusText, "x");
    EXPECT_EQ(TextOf(GetDlgItem(dialog, ui::kStatusText)), L"x");
    EXPECT_TRUE(frame.HasControl(ui::kUpdateButton));
    EXPECT_FALSE(frame.HasControl(4711));
    ClickClose(dialog);
  };
  frame.RunModal(handler);
}

TEST(Win32Frame, CloseEndsTheDialogOnlyWhileTheCloseButtonIsEnabled) {
  Win32Frame frame;
  ScriptedHandler handler;
  int attempts = 0;
  handler.onInit = [&] {
    frame.EnableControl(ui::kCloseButton, false);
    frame.EnableControl(ui::kUpdateButton, false);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(frame.Handle(), ui::kCloseButton)));
    // Escape, the close button's command and WM_CLOSE while a run has it disabled.
    SendMessageW(frame.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    SendMessageW(frame.Handle(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageW(frame.Handle(), WM_CLOSE, 0, 0);
    frame.PostCommand(4242);
  };
  handler.onCommand = [&](int id) {
    ASSERT_EQ(id, 4242);
    ++attempts;
    EXPECT_TRUE(IsWindow(frame.Handle())) << "the dialog was ended while its close button was disabled";
    frame.EnableControl(ui::kCloseButton, true);
    frame.EnableControl(ui::kUpdateButton, true);
    SendMessageW(frame.Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(frame.RunModal(handler), IDCANCEL);
  EXPECT_EQ(attempts, 1);
}

TEST(Win32Frame, SystemMenuOpensTheAboutBoxAndTheIconIsSet) {
  Win32Frame frame;
  ScriptedHandler handler;
  std::vector<std::wstring> aboutTexts;
  HWND aboutOwner = nullptr;
  HWND dialogWindow = nullptr;
  handler.onInit = [&] { frame.PostCommand(ui::kUpdateButton); };
  handler.onCommand = [&](int) {
    HWND dialog = frame.Handle();
    dialogWindow = dialog;
    // Without WS_SYSMENU the window may have no system menu; when it has
    // one, the about item is its last entry.
    if (HMENU menu = GetSystemMenu(dialog, FALSE)) {
      wchar_t item[128] = {};
      EXPECT_GT(GetMenuStringW(menu, ui::win32::kAboutCommand, item, 128, MF_BYCOMMAND), 0);
      EXPECT_STREQ(item, L"&About Tavlen Updater...");
    }

    ASSERT_NE(frame.Icon(), nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0)), frame.Icon());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0)), frame.Icon());
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(dialog, WM_QUERYDRAGICON, 0, 0)), frame.Icon());

    AfterModalLoopStarts([&] {
      HWND about = FindDialog(L"About Updater");
      ASSERT_NE(about, nullptr);
      aboutOwner = GetWindow(about, GW_OWNER);
      for (HWND child = GetWindow(about, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        aboutTexts.push_back(TextOf(child));
      }
      PostMessageW(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    // The low four bits of a system command are the system's own.
    SendMessageW(dialog, WM_SYSCOMMAND, ui::win32::kAboutCommand | 0x3, 0);
    ClickClose(dialog);
  };
  frame.RunModal(handler);
  EXPECT_EQ(aboutOwner, dialogWindow);
  ASSERT_GE(aboutTexts.size(), 4u);
  EXPECT_EQ(aboutTexts[1], L"Updater Version 1.0");
  EXPECT_EQ(aboutTexts[3], L"OK");
}

TEST(Win32Frame, MessageBoxIsOwnedByTheDialogAndAnswersWithTheButtonChosen) {
  Win32Frame frame;
  ScriptedHandler handler;
  HWND owner = nullptr;
  std::wstring caption;
  int answer = 0;
  handler.onInit = [&] { frame.PostCommand(ui::kUpdateButton); };
  handler.onCommand = [&](int) {
    const std::string ansiTitle = ui::ProgramTitle();
    const std::wstring title(ansiTitle.begin(), ansiTitle.end());
    AfterModalLoopStarts([&, title] {
      HWND box = FindDialog(title.c_str());
      ASSERT_NE(box, nullptr);
      owner = GetWindow(box, GW_OWNER);
      caption = TextOf(box);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDRETRY, BN_CLICKED), 0);
    });
    answer = frame.MessageBox("retry?", MB_ABORTRETRYIGNORE | MB_ICONEXCLAMATION);
    ClickClose(frame.Handle());
  };
  frame.RunModal(handler);
  EXPECT_EQ(answer, IDRETRY);
  EXPECT_NE(owner, nullptr);
  EXPECT_EQ(caption, L"dialog_win32_test");
}

TEST(Win32Frame, MinimisedIconIsCentredWithTruncatingDivision) {
  POINT origin = ui::win32::CenteredIconOrigin(160, 100, 32, 32);
  EXPECT_EQ(origin.x, 64);
  EXPECT_EQ(origin.y, 34);
  origin = ui::win32::CenteredIconOrigin(33, 34, 32, 32);
  EXPECT_EQ(origin.x, 1);
  EXPECT_EQ(origin.y, 1);
  // Smaller than the icon: toward zero, not toward minus infinity.
  origin = ui::win32::CenteredIconOrigin(10, 0, 32, 32);
  EXPECT_EQ(origin.x, -10);
  EXPECT_EQ(origin.y, -15);
}

}  // namespace
