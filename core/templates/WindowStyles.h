#pragma once
// The Win32 style bits of dialog controls that decide how a control draws
// its text: the fit check measures by them and the preview draws by them,
// so both read them from here.

#include <cstdint>

namespace quillon::win32 {

// Window styles and extended styles every control may carry.
inline constexpr std::uint32_t WS_BORDER = 0x00800000;
inline constexpr std::uint32_t WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr std::uint32_t WS_EX_STATICEDGE = 0x00020000;
inline constexpr std::uint32_t WS_VSCROLL = 0x00200000;
inline constexpr std::uint32_t WS_HSCROLL = 0x00100000;
inline constexpr std::uint32_t WS_EX_RIGHT = 0x00001000;
inline constexpr std::uint32_t WS_DISABLED = 0x08000000;
inline constexpr std::uint32_t WS_EX_LAYOUTRTL = 0x00400000;

// Buttons: the type (style & 0x0F) and flags.
inline constexpr std::uint32_t BS_TYPEMASK = 0x0F;
inline constexpr std::uint32_t BS_PUSHBUTTON = 0x0;
inline constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1;
inline constexpr std::uint32_t BS_CHECKBOX = 0x2;
inline constexpr std::uint32_t BS_AUTOCHECKBOX = 0x3;
inline constexpr std::uint32_t BS_RADIOBUTTON = 0x4;
inline constexpr std::uint32_t BS_3STATE = 0x5;
inline constexpr std::uint32_t BS_AUTO3STATE = 0x6;
inline constexpr std::uint32_t BS_GROUPBOX = 0x7;
inline constexpr std::uint32_t BS_AUTORADIOBUTTON = 0x9;
inline constexpr std::uint32_t BS_PUSHLIKE = 0x1000;
inline constexpr std::uint32_t BS_MULTILINE = 0x2000;
inline constexpr std::uint32_t BS_OWNERDRAW = 0xB;
inline constexpr std::uint32_t BS_COMMANDLINK = 0xE;
inline constexpr std::uint32_t BS_DEFCOMMANDLINK = 0xF;
inline constexpr std::uint32_t BS_LEFTTEXT = 0x20;
inline constexpr std::uint32_t BS_FLAT = 0x8000;

// Edit controls.
inline constexpr std::uint32_t ES_CENTER = 0x1;
inline constexpr std::uint32_t ES_RIGHT = 0x2;
inline constexpr std::uint32_t ES_MULTILINE = 0x4;
inline constexpr std::uint32_t ES_PASSWORD = 0x20;
inline constexpr std::uint32_t ES_AUTOHSCROLL = 0x80;
inline constexpr std::uint32_t ES_READONLY = 0x800;

// Statics: the type (style & 0x1F) and flags.
inline constexpr std::uint32_t SS_TYPEMASK = 0x1F;
inline constexpr std::uint32_t SS_RIGHT = 0x2;
inline constexpr std::uint32_t SS_SIMPLE = 0xB;
inline constexpr std::uint32_t SS_LEFTNOWORDWRAP = 0xC;
inline constexpr std::uint32_t SS_NOPREFIX = 0x80;
inline constexpr std::uint32_t SS_CENTERIMAGE = 0x200;
inline constexpr std::uint32_t SS_SUNKEN = 0x1000;
inline constexpr std::uint32_t SS_ELLIPSISMASK = 0xC000;
inline constexpr std::uint32_t SS_CENTER = 0x1;
inline constexpr std::uint32_t SS_ICON = 0x3;
inline constexpr std::uint32_t SS_BLACKRECT = 0x4;
inline constexpr std::uint32_t SS_WHITERECT = 0x6;
inline constexpr std::uint32_t SS_BLACKFRAME = 0x7;
inline constexpr std::uint32_t SS_WHITEFRAME = 0x9;
inline constexpr std::uint32_t SS_BITMAP = 0xE;
inline constexpr std::uint32_t SS_ENHMETAFILE = 0xF;
inline constexpr std::uint32_t SS_ETCHEDHORZ = 0x10;
inline constexpr std::uint32_t SS_ETCHEDVERT = 0x11;
inline constexpr std::uint32_t SS_ETCHEDFRAME = 0x12;
inline constexpr std::uint32_t SS_REALSIZECONTROL = 0x40;
inline constexpr std::uint32_t SS_NOTIFY = 0x100;
inline constexpr std::uint32_t SS_PATHELLIPSIS = 0x8000;

// List boxes, scroll bars and combo boxes.
inline constexpr std::uint32_t LBS_MULTICOLUMN = 0x200;
inline constexpr std::uint32_t LBS_DISABLENOSCROLL = 0x1000;
inline constexpr std::uint32_t SBS_VERT = 0x1;
inline constexpr std::uint32_t SBS_SIZEBOX = 0x8;
inline constexpr std::uint32_t SBS_SIZEGRIP = 0x10;
inline constexpr std::uint32_t CBS_SIMPLE = 0x1;
inline constexpr std::uint32_t CBS_DROPDOWN = 0x2;

// Common controls.
inline constexpr std::uint32_t LVS_REPORT = 0x1;
inline constexpr std::uint32_t LVS_LIST = 0x3;
inline constexpr std::uint32_t LVS_TYPEMASK = 0x3;
inline constexpr std::uint32_t LVS_NOCOLUMNHEADER = 0x4000;
inline constexpr std::uint32_t TVS_LINESATROOT = 0x4;
inline constexpr std::uint32_t PBS_VERTICAL = 0x4;
inline constexpr std::uint32_t PBS_MARQUEE = 0x8;
inline constexpr std::uint32_t TBS_AUTOTICKS = 0x1;
inline constexpr std::uint32_t TBS_VERT = 0x2;
inline constexpr std::uint32_t TBS_TOP = 0x4;
inline constexpr std::uint32_t TBS_BOTH = 0x8;
inline constexpr std::uint32_t TBS_NOTICKS = 0x10;
inline constexpr std::uint32_t UDS_HORZ = 0x40;
inline constexpr std::uint32_t UDS_ALIGNRIGHT = 0x4;
inline constexpr std::uint32_t UDS_ALIGNLEFT = 0x8;
inline constexpr std::uint32_t UDS_AUTOBUDDY = 0x10;
inline constexpr std::uint32_t DTS_UPDOWN = 0x1;
inline constexpr std::uint32_t DTS_FORMATMASK = 0xC;
inline constexpr std::uint32_t DTS_TIMEFORMATBITS = 0x8;

} // namespace quillon::win32
