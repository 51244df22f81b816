// Linux: window and message calls (over X11) and the message-box constants
// the front ends share.
//
// Window handles are X window ids of the display named by $DISPLAY. The
// agent's own window (the progress dialog) and its message queue live in
// this process: messages posted or sent to it are queued here and handed to
// the handler registered with SetOwnWindow. Messages for any other window go
// over X11: WM_CLOSE as the ICCCM close request (WM_DELETE_WINDOW), every
// other message as a client message of type _TAVLEN_WINDOW_MESSAGE carrying
// the message number, wParam and lParam in its first three longs.
// Without a display no other window exists.
#pragma once

#include "platform/posix/win_base.h"

#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONHAND 0x00000010u
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0u

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

#define WM_NULL 0x0000u
#define WM_CREATE 0x0001u
#define WM_DESTROY 0x0002u
#define WM_SETTEXT 0x000Cu
#define WM_GETTEXT 0x000Du
#define WM_PAINT 0x000Fu
#define WM_CLOSE 0x0010u
#define WM_QUIT 0x0012u
#define WM_SETICON 0x0080u
#define WM_KEYDOWN 0x0100u
#define WM_KEYUP 0x0101u
#define WM_CHAR 0x0102u
#define WM_INITDIALOG 0x0110u
#define WM_COMMAND 0x0111u
#define WM_SYSCOMMAND 0x0112u
#define WM_TIMER 0x0113u
#define WM_USER 0x0400u
#define WM_APP 0x8000u

#define SC_CLOSE 0xF060u
#define ICON_SMALL 0
#define ICON_BIG 1
#define BN_CLICKED 0

#define PM_NOREMOVE 0x0000u
#define PM_REMOVE 0x0001u
#define PM_NOYIELD 0x0002u

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)((WORD)(l) | ((DWORD)(WORD)(h) << 16)))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)((WORD)(l) | ((DWORD)(WORD)(h) << 16)))

struct POINT {
  LONG x;
  LONG y;
};

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;
  POINT pt;
};
typedef MSG* LPMSG;

// Takes the first message of this process's queue that matches the window
// (none: any) and the range (0, 0: any). With PM_REMOVE and nothing queued,
// the pump registered with SetMessagePump handles at most one pending GUI
// event; when it did, the message reported is WM_NULL for the own window.
// Never waits. FALSE when nothing was there.
BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
// No virtual-key translation exists here; returns FALSE.
BOOL TranslateMessage(const MSG* msg);
// Hands a queued message for the own window to its handler and returns the
// handler's result; any other message gives 0.
LRESULT DispatchMessageA(const MSG* msg);
// Own window or no window (the thread's queue): queued here. Another window:
// delivered over X11 without waiting. FALSE with ERROR_INVALID_WINDOW_HANDLE
// when the window does not exist.
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Own window: the handler runs at once. Another window: delivered over X11,
// then waits until the window has handled it (it answers a _NET_WM_PING sent
// behind the message, or it is destroyed), for at most a few seconds.
// A window that does not take part in WM_DELETE_WINDOW is not sent WM_CLOSE.
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The first top-level window whose WM_CLASS class equals className and
// whose name equals windowName, as Windows compares them: without regard to
// the case of ASCII letters; a null text matches anything, an empty class
// name nothing. Texts are code page 936; the window's name is read as UTF-8
// (_NET_WM_NAME) or as WM_NAME in its own encoding. Windows inside window
// manager frames are found by their client window.
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
// TRUE while the window exists.
BOOL IsWindow(HWND window);

namespace tavlen::posix {

// Handles one message for the agent's own window.
using OwnWindowHandler = LRESULT (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Makes window (an X window id, as FindWindowA reports it) the agent's own
// window with the handler for its messages. Null forgets it.
void SetOwnWindow(HWND window, OwnWindowHandler handler);
// Registers the GUI toolkit's "process at most one pending event, say
// whether there was one" step, used by PeekMessageA. Null removes it.
void SetMessagePump(bool (*pumpOne)());

// The X window id behind a handle, and back.
inline unsigned long XidFromWindow(HWND window) { return static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)); }
inline HWND WindowFromXid(unsigned long xid) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(xid)); }

}  // namespace tavlen::posix
