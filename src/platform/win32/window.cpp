// The window, its GL context, the display mode, the cursor, the message queue and the counter
// on Win32, GDI and WGL: each call is the Windows function it is named after. The shell's
// window procedure is called from a real WNDPROC, so it sees every message Windows sends,
// WM_SYSCOMMAND for the screen saver and monitor power included.
#include "platform/win32/window_records.h"

#include <GL/gl.h>

#include <cstring>
#include <string>
#include <vector>

namespace {
// The shell's procedure of each class this program registered.
struct ClassProc {
    std::string name;
    ATOM atom;
    WindowProc proc;
};
std::vector<ClassProc> classProcs;

// The last message taken from the queue, kept whole (time and cursor position) for
// TranslateMessage and DispatchMessageA.
MSG lastPeeked = {};

LRESULT CALLBACK windowTrampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ATOM atom = ATOM(GetClassWord(window, GCW_ATOM));
    for (const ClassProc& c : classProcs)
        if (c.atom == atom) return c.proc(fromHwnd(window), message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

MSG toMsg(const Message& m) {
    if (lastPeeked.hwnd == toHwnd(m.window) && lastPeeked.message == m.type &&
        lastPeeked.wParam == m.wParam && lastPeeked.lParam == m.lParam)
        return lastPeeked;
    MSG msg = {};
    msg.hwnd = toHwnd(m.window);
    msg.message = m.type;
    msg.wParam = m.wParam;
    msg.lParam = m.lParam;
    return msg;
}

// The stock icons and cursors a class may name; any other name is a resource of the module.
LPCSTR stockResource(const char* name) {
    if (!strcmp(name, "IDI_APPLICATION")) return IDI_APPLICATION;
    if (!strcmp(name, "IDC_ARROW")) return IDC_ARROW;
    return nullptr;
}

typedef const char*(WINAPI* GetExtensionsStringArb)(HDC);
typedef const char*(WINAPI* GetExtensionsStringExt)();
typedef BOOL(WINAPI* SwapIntervalExt)(int);

// The WGL extensions of the current context: the ARB query, the EXT one, or (old drivers)
// the GL list, where WGL_EXT_swap_control first appeared.
bool wglExtension(HDC dc, const char* name) {
    auto arb = reinterpret_cast<GetExtensionsStringArb>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB")));
    if (arb && extensionListed(arb(dc), name)) return true;
    auto ext = reinterpret_cast<GetExtensionsStringExt>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringEXT")));
    if (ext && extensionListed(ext(), name)) return true;
    return extensionListed(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

// Swap at the display's refresh where the driver offers it; elsewhere the loop runs free.
void askForSwapInterval(HDC dc) {
    if (!wglExtension(dc, "WGL_EXT_swap_control")) return;
    auto swapInterval = reinterpret_cast<SwapIntervalExt>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (swapInterval) swapInterval(1);
}
} // namespace

DEVMODEA toDevMode(const DisplayMode& mode) {
    static_assert(offsetof(DEVMODEA, dmPanningWidth) == 148, "the short record is 148 bytes");
    DEVMODEA d;
    memset(&d, 0, sizeof d);
    d.dmSize = mode.size;
    d.dmFields = mode.fields;
    d.dmBitsPerPel = mode.bitsPerPel;
    d.dmPelsWidth = mode.pelsWidth;
    d.dmPelsHeight = mode.pelsHeight;
    return d;
}

PIXELFORMATDESCRIPTOR toPixelFormatDescriptor(const PixelFormatDescriptor& p) {
    PIXELFORMATDESCRIPTOR d;
    d.nSize = p.size;
    d.nVersion = p.version;
    d.dwFlags = p.flags;
    d.iPixelType = p.pixelType;
    d.cColorBits = p.colorBits;
    d.cRedBits = p.redBits;
    d.cRedShift = p.redShift;
    d.cGreenBits = p.greenBits;
    d.cGreenShift = p.greenShift;
    d.cBlueBits = p.blueBits;
    d.cBlueShift = p.blueShift;
    d.cAlphaBits = p.alphaBits;
    d.cAlphaShift = p.alphaShift;
    d.cAccumBits = p.accumBits;
    d.cAccumRedBits = p.accumRedBits;
    d.cAccumGreenBits = p.accumGreenBits;
    d.cAccumBlueBits = p.accumBlueBits;
    d.cAccumAlphaBits = p.accumAlphaBits;
    d.cDepthBits = p.depthBits;
    d.cStencilBits = p.stencilBits;
    d.cAuxBuffers = p.auxBuffers;
    d.iLayerType = p.layerType;
    d.bReserved = p.reserved;
    d.dwLayerMask = p.layerMask;
    d.dwVisibleMask = p.visibleMask;
    d.dwDamageMask = p.damageMask;
    return d;
}

Message fromMsg(const MSG& msg) {
    return {fromHwnd(msg.hwnd), msg.message, msg.wParam, msg.lParam};
}

bool extensionListed(const char* list, const char* name) {
    if (!list || !name || !*name) return false;
    size_t length = strlen(name);
    for (const char* p = strstr(list, name); p; p = strstr(p + 1, name)) {
        bool starts = p == list || p[-1] == ' ';
        bool ends = p[length] == ' ' || p[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}

ModuleHandle getModuleHandle() {
    return GetModuleHandleA(nullptr);
}

bool registerClass(const WindowClass& c) {
    if (!c.className || !c.windowProc) return false;
    HINSTANCE instance = HINSTANCE(c.instance);
    WNDCLASSA w = {};
    w.style = c.style;
    w.lpfnWndProc = windowTrampoline;
    w.cbClsExtra = c.classExtra;
    w.cbWndExtra = c.windowExtra;
    w.hInstance = instance;
    if (c.icon) {
        LPCSTR stock = stockResource(c.icon);
        w.hIcon = stock ? LoadIconA(nullptr, stock) : LoadIconA(instance, c.icon);
    }
    if (c.cursor) {
        LPCSTR stock = stockResource(c.cursor);
        w.hCursor = stock ? LoadCursorA(nullptr, stock) : LoadCursorA(instance, c.cursor);
    }
    w.hbrBackground = HBRUSH(const_cast<void*>(c.background));
    w.lpszMenuName = c.menuName;
    w.lpszClassName = c.className;
    ATOM atom = RegisterClassA(&w);
    if (!atom) return false;
    classProcs.push_back({c.className, atom, c.windowProc});
    return true;
}

bool unregisterClass(const char* className, ModuleHandle instance) {
    if (!className || !UnregisterClassA(className, HINSTANCE(instance))) return false;
    for (size_t i = 0; i < classProcs.size(); ++i) {
        if (lstrcmpiA(classProcs[i].name.c_str(), className) == 0) {
            classProcs.erase(classProcs.begin() + long(i));
            break;
        }
    }
    return true;
}

int32_t getSystemMetrics(int32_t index) {
    return GetSystemMetrics(index);
}

bool adjustWindowRectEx(Rect& rect, uint32_t style, bool hasMenu, uint32_t exStyle) {
    RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    if (!AdjustWindowRectEx(&r, style, hasMenu, exStyle)) return false;
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

WindowHandle createWindowEx(uint32_t exStyle, const char* className, const char* title,
                            uint32_t style, int32_t x, int32_t y, int32_t width, int32_t height,
                            WindowHandle parent, const void* menu, ModuleHandle instance,
                            const void* createData) {
    return fromHwnd(CreateWindowExA(exStyle, className, title, style, x, y, width, height,
                                    toHwnd(parent), HMENU(const_cast<void*>(menu)),
                                    HINSTANCE(instance), const_cast<void*>(createData)));
}

bool destroyWindow(WindowHandle window) {
    return DestroyWindow(toHwnd(window));
}

bool showWindow(WindowHandle window, int32_t showCommand) {
    if (!IsWindow(toHwnd(window))) return false;
    ShowWindow(toHwnd(window), showCommand); // its result is the earlier visibility
    return true;
}

bool setForegroundWindow(WindowHandle window) {
    return SetForegroundWindow(toHwnd(window));
}

WindowHandle setFocus(WindowHandle window) {
    return fromHwnd(SetFocus(toHwnd(window)));
}

int32_t changeDisplaySettings(const DisplayMode* mode, uint32_t flags) {
    if (!mode) return ChangeDisplaySettingsA(nullptr, flags);
    DEVMODEA d = toDevMode(*mode);
    return ChangeDisplaySettingsA(&d, flags);
}

int32_t showCursor(bool show) {
    return ShowCursor(show);
}

DeviceContext getDC(WindowHandle window) {
    return reinterpret_cast<DeviceContext>(GetDC(toHwnd(window)));
}

bool releaseDC(WindowHandle window, DeviceContext dc) {
    return ReleaseDC(toHwnd(window), reinterpret_cast<HDC>(dc)) == 1;
}

int32_t choosePixelFormat(DeviceContext dc, const PixelFormatDescriptor* descriptor) {
    if (!descriptor) return 0;
    PIXELFORMATDESCRIPTOR d = toPixelFormatDescriptor(*descriptor);
    return ChoosePixelFormat(reinterpret_cast<HDC>(dc), &d);
}

bool setPixelFormat(DeviceContext dc, int32_t format, const PixelFormatDescriptor* descriptor) {
    if (!descriptor) return false;
    PIXELFORMATDESCRIPTOR d = toPixelFormatDescriptor(*descriptor);
    return SetPixelFormat(reinterpret_cast<HDC>(dc), format, &d);
}

RenderContext createGlContext(DeviceContext dc) {
    return reinterpret_cast<RenderContext>(wglCreateContext(reinterpret_cast<HDC>(dc)));
}

bool makeGlContextCurrent(DeviceContext dc, RenderContext rc) {
    HDC hdc = reinterpret_cast<HDC>(dc);
    if (!wglMakeCurrent(hdc, reinterpret_cast<HGLRC>(rc))) return false;
    if (rc) askForSwapInterval(hdc);
    return true;
}

bool deleteGlContext(RenderContext rc) {
    return wglDeleteContext(reinterpret_cast<HGLRC>(rc));
}

bool swapBuffers(DeviceContext dc) {
    return SwapBuffers(reinterpret_cast<HDC>(dc));
}

bool peekMessage(Message& message) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    lastPeeked = msg;
    message = fromMsg(msg);
    return true;
}

void translateMessage(const Message& message) {
    MSG msg = toMsg(message);
    TranslateMessage(&msg);
}

intptr_t dispatchMessage(const Message& message) {
    MSG msg = toMsg(message);
    return DispatchMessageA(&msg);
}

void postQuitMessage(int32_t exitCode) {
    PostQuitMessage(exitCode);
}

intptr_t defWindowProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return DefWindowProcA(toHwnd(window), message, wParam, lParam);
}

bool queryPerformanceCounter(int64_t* count) {
    LARGE_INTEGER value;
    if (!count || !QueryPerformanceCounter(&value)) return false;
    *count = value.QuadPart;
    return true;
}

bool queryPerformanceFrequency(int64_t* frequency) {
    LARGE_INTEGER value;
    if (!frequency || !QueryPerformanceFrequency(&value)) return false;
    *frequency = value.QuadPart;
    return true;
}
