// The window system as the shell sees it: Win32-shaped calls (a message queue of
// {type, wParam, lParam} messages, a window procedure, message boxes, a modal dialog from a
// template, display modes, a GL context and a performance counter). win32/ defines them with
// the real Windows calls; sdl/ (SDL2 and GTK 3) and web/ (the page) define them over
// win32_rules/, which holds what Windows does behind those calls (the dialog manager, the
// message boxes' keys, the window messages), so that they behave as Windows does. The shell's
// unit tests link definitions of their own, so the shell's logic runs without a display.
#pragma once
#include <cstdint>

struct WindowRecord;
struct DeviceContextRecord;
struct RenderContextRecord;
struct DialogRecord;
typedef WindowRecord* WindowHandle;
typedef DeviceContextRecord* DeviceContext;
typedef RenderContextRecord* RenderContext;
typedef DialogRecord* DialogHandle;
typedef const void* ModuleHandle;

typedef intptr_t (*WindowProc)(WindowHandle window, uint32_t message, uintptr_t wParam,
                               intptr_t lParam);
typedef intptr_t (*DialogProc)(DialogHandle dialog, uint32_t message, uintptr_t wParam,
                               intptr_t lParam);

struct Message {
    WindowHandle window;
    uint32_t type;
    uintptr_t wParam;
    intptr_t lParam;
};

// Message numbers as the Windows headers have them.
constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_COMMAND = 0x0111;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;

constexpr uintptr_t SC_SCREENSAVE = 0xF140;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;
constexpr uintptr_t WA_INACTIVE = 0;
constexpr uintptr_t WA_ACTIVE = 1;
constexpr uintptr_t BN_CLICKED = 0;

constexpr uint32_t loWord(uintptr_t v) {
    return uint32_t(v & 0xFFFF);
}
constexpr uint32_t hiWord(uintptr_t v) {
    return uint32_t((v >> 16) & 0xFFFF);
}
constexpr uintptr_t makeParam(uint32_t lo, uint32_t hi) {
    return uintptr_t((lo & 0xFFFF) | ((hi & 0xFFFF) << 16));
}

// Dialog and message-box results, buttons and icons.
constexpr int32_t IDOK = 1;
constexpr int32_t IDCANCEL = 2;
constexpr int32_t IDYES = 6;
constexpr int32_t IDNO = 7;
constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_OKCANCEL = 0x01;
constexpr uint32_t MB_YESNOCANCEL = 0x03;
constexpr uint32_t MB_YESNO = 0x04;
constexpr uint32_t MB_DEFBUTTON2 = 0x100;
constexpr uint32_t MB_ICONSTOP = 0x10;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;
constexpr uint32_t BST_UNCHECKED = 0;
constexpr uint32_t BST_CHECKED = 1;

// Window class and window styles.
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t CS_OWNDC = 0x0020;
constexpr uint32_t WS_POPUP = 0x80000000u;
constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000;
constexpr uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr uint32_t WS_EX_WINDOWEDGE = 0x00000100;
constexpr uint32_t WS_EX_APPWINDOW = 0x00040000;
constexpr int32_t SW_SHOW = 5;
constexpr int32_t SM_CXSCREEN = 0;
constexpr int32_t SM_CYSCREEN = 1;

// Display modes.
constexpr uint32_t DM_BITSPERPEL = 0x00040000;
constexpr uint32_t DM_PELSWIDTH = 0x00080000;
constexpr uint32_t DM_PELSHEIGHT = 0x00100000;
constexpr uint32_t CDS_FULLSCREEN = 0x00000004;
constexpr int32_t DISP_CHANGE_SUCCESSFUL = 0;
constexpr int32_t DISP_CHANGE_FAILED = -1;
constexpr int32_t DISP_CHANGE_BADMODE = -2;

// Pixel format flags and types.
constexpr uint32_t PFD_DOUBLEBUFFER = 0x01;
constexpr uint32_t PFD_DRAW_TO_WINDOW = 0x04;
constexpr uint32_t PFD_SUPPORT_OPENGL = 0x20;
constexpr uint8_t PFD_TYPE_RGBA = 0;
constexpr uint8_t PFD_MAIN_PLANE = 0;

struct Rect {
    int32_t left, top, right, bottom;
};

struct WindowClass {
    uint32_t style;
    WindowProc windowProc;
    int32_t classExtra;
    int32_t windowExtra;
    ModuleHandle instance;
    const char* icon;   // a stock icon name ("IDI_APPLICATION")
    const char* cursor; // a stock cursor name ("IDC_ARROW")
    const void* background;
    const char* menuName;
    const char* className;
};

// The fields of the 148-byte display-mode record that are ever set; the rest stay zero.
struct DisplayMode {
    uint16_t size; // 148
    uint32_t fields;
    uint32_t bitsPerPel;
    uint32_t pelsWidth;
    uint32_t pelsHeight;
};

struct PixelFormatDescriptor {
    uint16_t size;
    uint16_t version;
    uint32_t flags;
    uint8_t pixelType;
    uint8_t colorBits;
    uint8_t redBits, redShift, greenBits, greenShift, blueBits, blueShift;
    uint8_t alphaBits, alphaShift;
    uint8_t accumBits, accumRedBits, accumGreenBits, accumBlueBits, accumAlphaBits;
    uint8_t depthBits;
    uint8_t stencilBits;
    uint8_t auxBuffers;
    uint8_t layerType;
    uint8_t reserved;
    uint32_t layerMask, visibleMask, damageMask;
};
static_assert(sizeof(PixelFormatDescriptor) == 40, "the descriptor is 40 bytes");

// Module, class and window.
ModuleHandle getModuleHandle();
bool registerClass(const WindowClass& windowClass);
bool unregisterClass(const char* className, ModuleHandle instance);
int32_t getSystemMetrics(int32_t index);
// Grows a client rectangle to the outer window rectangle for the styles.
bool adjustWindowRectEx(Rect& rect, uint32_t style, bool hasMenu, uint32_t exStyle);
WindowHandle createWindowEx(uint32_t exStyle, const char* className, const char* title,
                            uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                            WindowHandle parent, const void* menu, ModuleHandle instance,
                            const void* createData);
bool destroyWindow(WindowHandle window);
bool showWindow(WindowHandle window, int32_t showCommand);
bool setForegroundWindow(WindowHandle window);
WindowHandle setFocus(WindowHandle window);

// Display mode (null mode: back to the desktop mode) and cursor.
int32_t changeDisplaySettings(const DisplayMode* mode, uint32_t flags);
int32_t showCursor(bool show);

// Device context, pixel format and GL rendering context.
DeviceContext getDC(WindowHandle window);
bool releaseDC(WindowHandle window, DeviceContext dc);
int32_t choosePixelFormat(DeviceContext dc, const PixelFormatDescriptor* descriptor);
bool setPixelFormat(DeviceContext dc, int32_t format, const PixelFormatDescriptor* descriptor);
RenderContext createGlContext(DeviceContext dc);
bool makeGlContextCurrent(DeviceContext dc, RenderContext rc);
bool deleteGlContext(RenderContext rc);
bool swapBuffers(DeviceContext dc);

// The message queue.
// Takes at most one message without waiting; false (message untouched) when none is waiting.
bool peekMessage(Message& message);
void translateMessage(const Message& message);
intptr_t dispatchMessage(const Message& message);
void postQuitMessage(int32_t exitCode);
intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam);

// The performance counter.
bool queryPerformanceCounter(int64_t* count);
bool queryPerformanceFrequency(int64_t* frequency);

// Message boxes and the modal dialog. Every message box is also written to standard error as
// "caption: text".
int32_t messageBox(WindowHandle owner, const char* text, const char* caption, uint32_t type);
// Runs the dialog of template templateId modally; its result, or -1 when it cannot be shown.
intptr_t dialogBox(ModuleHandle instance, int32_t templateId, WindowHandle owner,
                   DialogProc dialogProc);
bool endDialog(DialogHandle dialog, intptr_t result);
bool checkRadioButton(DialogHandle dialog, int32_t firstId, int32_t lastId, int32_t checkId);
uint32_t isDlgButtonChecked(DialogHandle dialog, int32_t id);
