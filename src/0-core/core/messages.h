// The numbers of the window messages, scroll requests and virtual keys the editor control speaks,
// with the values Windows gives them, so that the portable code reads and answers real messages.
#pragma once

#include <cstdint>

namespace kst {

// Window messages.
constexpr unsigned WM_SETFOCUS = 0x0007;
constexpr unsigned WM_KILLFOCUS = 0x0008;
constexpr unsigned WM_SIZE = 0x0005;
constexpr unsigned WM_SETREDRAW = 0x000B;
constexpr unsigned WM_SETTEXT = 0x000C;
constexpr unsigned WM_GETTEXT = 0x000D;
constexpr unsigned WM_GETTEXTLENGTH = 0x000E;
constexpr unsigned WM_PAINT = 0x000F;
constexpr unsigned WM_SETCURSOR = 0x0020;
constexpr unsigned WM_CONTEXTMENU = 0x007B;
constexpr unsigned WM_GETDLGCODE = 0x0087;
constexpr unsigned WM_KEYDOWN = 0x0100;
constexpr unsigned WM_KEYUP = 0x0101;
constexpr unsigned WM_CHAR = 0x0102;
constexpr unsigned WM_DEADCHAR = 0x0103;
constexpr unsigned WM_SYSKEYDOWN = 0x0104;
constexpr unsigned WM_SYSKEYUP = 0x0105;
constexpr unsigned WM_SYSCHAR = 0x0106;
constexpr unsigned WM_UNICHAR = 0x0109;
constexpr unsigned WM_IME_STARTCOMPOSITION = 0x010D;
constexpr unsigned WM_IME_ENDCOMPOSITION = 0x010E;
constexpr unsigned WM_IME_COMPOSITION = 0x010F;
constexpr unsigned WM_HSCROLL = 0x0114;
constexpr unsigned WM_VSCROLL = 0x0115;
constexpr unsigned WM_MOUSEMOVE = 0x0200;
constexpr unsigned WM_LBUTTONDOWN = 0x0201;
constexpr unsigned WM_LBUTTONUP = 0x0202;
constexpr unsigned WM_LBUTTONDBLCLK = 0x0203;
constexpr unsigned WM_RBUTTONDOWN = 0x0204;
constexpr unsigned WM_RBUTTONUP = 0x0205;
constexpr unsigned WM_MBUTTONDOWN = 0x0207;
constexpr unsigned WM_MBUTTONUP = 0x0208;
constexpr unsigned WM_MOUSEWHEEL = 0x020A;
constexpr unsigned WM_IME_NOTIFY = 0x0282;
constexpr unsigned WM_DPICHANGED_AFTERPARENT = 0x02E3;
constexpr unsigned WM_CUT = 0x0300;
constexpr unsigned WM_COPY = 0x0301;
constexpr unsigned WM_PASTE = 0x0302;
constexpr unsigned WM_CLEAR = 0x0303;
constexpr unsigned WM_UNDO = 0x0304;

// Edit-control messages.
constexpr unsigned EM_GETSEL = 0x00B0;
constexpr unsigned EM_SETSEL = 0x00B1;
constexpr unsigned EM_SCROLLCARET = 0x00B7;
constexpr unsigned EM_GETMODIFY = 0x00B8;
constexpr unsigned EM_SETMODIFY = 0x00B9;
constexpr unsigned EM_GETLINECOUNT = 0x00BA;
constexpr unsigned EM_LINEINDEX = 0x00BB;
constexpr unsigned EM_LINELENGTH = 0x00C1;
constexpr unsigned EM_REPLACESEL = 0x00C2;
constexpr unsigned EM_GETLINE = 0x00C4;
constexpr unsigned EM_CANUNDO = 0x00C6;
constexpr unsigned EM_UNDO = 0x00C7;
constexpr unsigned EM_LINEFROMCHAR = 0x00C9;
constexpr unsigned EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr unsigned EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr unsigned EM_SETREADONLY = 0x00CF;
constexpr unsigned EM_POSFROMCHAR = 0x00D6;
constexpr unsigned EM_CHARFROMPOS = 0x00D7;

// WM_SETCURSOR hit-test code of the client area.
constexpr unsigned HTCLIENT = 1;

// WM_GETDLGCODE answers.
constexpr std::intptr_t DLGC_WANTARROWS = 0x0001;
constexpr std::intptr_t DLGC_WANTTAB = 0x0002;
constexpr std::intptr_t DLGC_WANTALLKEYS = 0x0004;
constexpr std::intptr_t DLGC_WANTCHARS = 0x0080;

// Scroll-bar requests (low word of WM_HSCROLL / WM_VSCROLL's WParam).
constexpr unsigned SB_LINEUP = 0;
constexpr unsigned SB_LINELEFT = 0;
constexpr unsigned SB_LINEDOWN = 1;
constexpr unsigned SB_LINERIGHT = 1;
constexpr unsigned SB_PAGEUP = 2;
constexpr unsigned SB_PAGELEFT = 2;
constexpr unsigned SB_PAGEDOWN = 3;
constexpr unsigned SB_PAGERIGHT = 3;
constexpr unsigned SB_THUMBPOSITION = 4;
constexpr unsigned SB_THUMBTRACK = 5;
constexpr unsigned SB_TOP = 6;
constexpr unsigned SB_LEFT = 6;
constexpr unsigned SB_BOTTOM = 7;
constexpr unsigned SB_RIGHT = 7;
constexpr unsigned SB_ENDSCROLL = 8;

// Virtual keys.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_F1 = 0x70;

// IME notifications (WM_IME_NOTIFY's WParam) and composition flags (WM_IME_COMPOSITION's LParam).
constexpr unsigned IMN_CLOSECANDIDATE = 0x0004;
constexpr unsigned IMN_OPENCANDIDATE = 0x0005;
constexpr std::intptr_t GCS_RESULTSTR = 0x0800;

// Key flags of mouse messages (WParam).
constexpr std::uintptr_t MK_LBUTTON = 0x0001;
constexpr std::uintptr_t MK_SHIFT = 0x0004;
constexpr std::uintptr_t MK_CONTROL = 0x0008;

// Modifier keys held with a key or a mouse event.
using TShiftState = std::uint8_t;
constexpr TShiftState ssShift = 0x01;
constexpr TShiftState ssAlt = 0x02;
constexpr TShiftState ssCtrl = 0x04;

// The 16-bit halves of a message parameter.
constexpr unsigned LoWord(std::uintptr_t Value) {
    return static_cast<unsigned>(Value & 0xFFFF);
}
constexpr unsigned HiWord(std::uintptr_t Value) {
    return static_cast<unsigned>((Value >> 16) & 0xFFFF);
}
// Two 16-bit values in one answer, Low in the low half.
constexpr std::intptr_t MakeLong(unsigned Low, unsigned High) {
    return static_cast<std::intptr_t>(
        static_cast<std::uint32_t>((Low & 0xFFFF) | ((High & 0xFFFF) << 16)));
}

} // namespace kst
