// The Win32 window system against the real user32, gdi32 and opengl32 (under Wine on Xvfb in
// CI): the records reach Windows intact, the shell's procedures see the real messages, and
// the resources compiled into the program are the dialog template and pictures of the Linux
// build.
// The program's headers name Windows constants themselves, so they come before windows.h.
#include "resources/dialog_template.h"
#include "resources/lanternwhirl_picture.h"
#include "platform/win32/window_records.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
const char* const testClass = "LanternwhirlTest";

std::vector<Message> seen;
intptr_t recordingProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    seen.push_back({window, message, wParam, lParam});
    if (message == WM_SYSCOMMAND) return 0;
    return defWindowProc(window, message, wParam, lParam);
}
intptr_t otherProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    if (message == WM_USER) return 99;
    return defWindowProc(window, message, wParam, lParam);
}

WindowClass classWith(WindowProc proc) {
    WindowClass c = {};
    c.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    c.windowProc = proc;
    c.instance = getModuleHandle();
    c.icon = "IDI_APPLICATION";
    c.cursor = "IDC_ARROW";
    c.className = testClass;
    return c;
}

// A 640 × 480 client in an overlapping window, placed as the shell places it.
WindowHandle openTestWindow() {
    const uint32_t style = WS_OVERLAPPEDWINDOW, exStyle = WS_EX_APPWINDOW | WS_EX_WINDOWEDGE;
    Rect r = {0, 0, 640, 480};
    EXPECT_TRUE(adjustWindowRectEx(r, style, false, exStyle));
    return createWindowEx(exStyle, testClass, "test", style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 10,
                          10, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                          getModuleHandle(), nullptr);
}

void drainQueue() {
    Message m;
    while (peekMessage(m))
        if (m.type != WM_QUIT) dispatchMessage(m);
}
} // namespace

TEST(Win32Window, ShellProcedureSeesRealMessagesAndTheQueueKeepsTheirParameters) {
    seen.clear();
    ASSERT_TRUE(registerClass(classWith(recordingProc)));
    WindowHandle window = openTestWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const Message& m) {
        return m.type == WM_CREATE;
    })) << "messages sent while the window is made go astray";
    RECT client;
    GetClientRect(toHwnd(window), &client);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);
    drainQueue();

    // A posted key comes out of the queue whole and reaches the procedure with its handle.
    PostMessageA(toHwnd(window), WM_KEYDOWN, 27, 0x00010001);
    Message m = {};
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.window, window);
    EXPECT_EQ(m.type, uint32_t(WM_KEYDOWN));
    EXPECT_EQ(m.wParam, 27u);
    EXPECT_EQ(m.lParam, 0x00010001);
    seen.clear();
    translateMessage(m);
    dispatchMessage(m);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen[0].window, window);
    EXPECT_EQ(seen[0].type, uint32_t(WM_KEYDOWN));
    EXPECT_EQ(seen[0].wParam, 27u);
    drainQueue();

    // The screen saver's system command reaches the shell, which may swallow it.
    seen.clear();
    SendMessageA(toHwnd(window), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    ASSERT_EQ(seen.size(), size_t(1));
    EXPECT_EQ(seen[0].wParam, uintptr_t(SC_SCREENSAVE));

    postQuitMessage(7);
    ASSERT_TRUE(peekMessage(m));
    EXPECT_EQ(m.type, uint32_t(WM_QUIT));
    EXPECT_EQ(m.wParam, uintptr_t(7));
    EXPECT_FALSE(peekMessage(m)) << "an empty queue must not wait or invent a message";

    // The class cannot go while its window lives; registered again, it has its new procedure.
    EXPECT_FALSE(unregisterClass(testClass, getModuleHandle()));
    EXPECT_TRUE(destroyWindow(window));
    drainQueue();
    EXPECT_TRUE(unregisterClass(testClass, getModuleHandle()));
    ASSERT_TRUE(registerClass(classWith(otherProc)));
    window = openTestWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(toHwnd(window), WM_USER, 0, 0), 99);
    EXPECT_TRUE(destroyWindow(window));
    drainQueue();
    EXPECT_TRUE(unregisterClass(testClass, getModuleHandle()));
}

TEST(Win32Window, GlContextWithThePixelFormatAndSwapInterval) {
    ASSERT_TRUE(registerClass(classWith(recordingProc)));
    WindowHandle window = openTestWindow();
    ASSERT_NE(window, nullptr);
    DeviceContext dc = getDC(window);
    ASSERT_NE(dc, nullptr);
    PixelFormatDescriptor wanted = {};
    wanted.size = 40;
    wanted.version = 1;
    wanted.flags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    wanted.colorBits = 16;
    wanted.depthBits = 16;
    int32_t format = choosePixelFormat(dc, &wanted);
    ASSERT_GT(format, 0);
    PIXELFORMATDESCRIPTOR got;
    ASSERT_TRUE(DescribePixelFormat(reinterpret_cast<HDC>(dc), format, sizeof got, &got));
    EXPECT_EQ(got.dwFlags & 0x25u, 0x25u) << "window, OpenGL and double buffer";
    EXPECT_EQ(got.iPixelType, PFD_TYPE_RGBA);
    EXPECT_GE(got.cDepthBits, 16);
    ASSERT_TRUE(setPixelFormat(dc, format, &wanted));

    RenderContext rc = createGlContext(dc);
    ASSERT_NE(rc, nullptr);
    ASSERT_TRUE(makeGlContextCurrent(dc, rc));
    EXPECT_NE(glGetString(GL_VERSION), nullptr);
    typedef int(WINAPI * GetSwapInterval)();
    auto getInterval = reinterpret_cast<GetSwapInterval>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetSwapIntervalEXT")));
    if (getInterval) {
        EXPECT_EQ(getInterval(), 1);
    }
    EXPECT_TRUE(swapBuffers(dc));

    EXPECT_TRUE(makeGlContextCurrent(nullptr, nullptr));
    EXPECT_TRUE(deleteGlContext(rc));
    EXPECT_TRUE(releaseDC(window, dc));
    EXPECT_TRUE(destroyWindow(window));
    drainQueue();
    EXPECT_TRUE(unregisterClass(testClass, getModuleHandle()));
}

TEST(Win32Window, DisplayModeRecordAndExtensionNames) {
    // Windows tests the record without switching: the desktop's own mode passes, a mode no
    // display has is refused.
    DEVMODEA current = {};
    current.dmSize = sizeof current;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current));
    DisplayMode mode = {148, DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT, current.dmBitsPerPel,
                        current.dmPelsWidth, current.dmPelsHeight};
    EXPECT_EQ(changeDisplaySettings(&mode, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    mode.pelsWidth = 641;
    mode.pelsHeight = 479;
    EXPECT_NE(changeDisplaySettings(&mode, CDS_TEST), DISP_CHANGE_SUCCESSFUL);

    EXPECT_TRUE(
        extensionListed("WGL_ARB_pixel_format WGL_EXT_swap_control", "WGL_EXT_swap_control"));
    EXPECT_FALSE(extensionListed("WGL_EXT_swap_control_tear", "WGL_EXT_swap_control"));
    EXPECT_FALSE(extensionListed(nullptr, "WGL_EXT_swap_control"));
}

namespace {
intptr_t choosingProc(DialogHandle dialog, uint32_t message, uintptr_t, intptr_t) {
    if (message != WM_INITDIALOG) return false;
    checkRadioButton(dialog, controlMode640, controlMode800, controlMode800);
    intptr_t result = isDlgButtonChecked(dialog, controlMode800) == BST_CHECKED &&
                              isDlgButtonChecked(dialog, controlMode640) == BST_UNCHECKED &&
                              isDlgButtonChecked(dialog, controlNoSound) == BST_UNCHECKED
                          ? 42
                          : 13;
    endDialog(dialog, result);
    return false;
}

// Reads the dialog resource as windres wrote it (an extended template).
struct Reader {
    const uint8_t* p;
    uint16_t u16() {
        uint16_t v = uint16_t(p[0] | p[1] << 8);
        p += 2;
        return v;
    }
    uint32_t u32() {
        uint32_t lo = u16();
        return lo | uint32_t(u16()) << 16;
    }
    std::string text() { // a UTF-16 string, or "#n" for an ordinal
        if (p[0] == 0xFF && p[1] == 0xFF) {
            p += 2;
            return "#" + std::to_string(u16());
        }
        std::string s;
        for (uint16_t c = u16(); c; c = u16())
            s += char(c);
        return s;
    }
    void align(const uint8_t* base) {
        while ((p - base) % 4)
            ++p;
    }
};
} // namespace

TEST(Win32Resources, DialogRunsWithTheShellProcedureAndMatchesTheTemplate) {
    EXPECT_EQ(dialogBox(getModuleHandle(), setupDialogId, nullptr, choosingProc), 42);

    const DialogTemplate& t = *findDialogTemplate(setupDialogId);
    HMODULE module = HMODULE(getModuleHandle());
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(setupDialogId), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr);
    const uint8_t* base = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    Reader r = {base};
    EXPECT_EQ(r.u16(), 1);      // version
    EXPECT_EQ(r.u16(), 0xFFFF); // extended
    r.u32();                    // help id
    EXPECT_EQ(r.u32(), 0u);     // extended style
    EXPECT_EQ(r.u32(), t.style);
    ASSERT_EQ(r.u16(), t.controlCount);
    r.u16();
    r.u16();
    EXPECT_EQ(int16_t(r.u16()), t.cx);
    EXPECT_EQ(int16_t(r.u16()), t.cy);
    EXPECT_EQ(r.text(), ""); // no menu
    EXPECT_EQ(r.text(), ""); // the dialog class
    EXPECT_EQ(r.text(), t.caption);
    EXPECT_EQ(r.u16(), t.pointSize);
    r.u16();
    r.u16(); // weight, italic and character set
    EXPECT_EQ(r.text(), t.fontFace);
    for (int32_t i = 0; i < t.controlCount; ++i) {
        const DialogControl& c = t.controls[i];
        SCOPED_TRACE(i);
        r.align(base);
        r.u32();
        EXPECT_EQ(r.u32(), c.exStyle);
        EXPECT_EQ(r.u32(), c.style);
        EXPECT_EQ(int16_t(r.u16()), c.x);
        EXPECT_EQ(int16_t(r.u16()), c.y);
        EXPECT_EQ(int16_t(r.u16()), c.cx);
        EXPECT_EQ(int16_t(r.u16()), c.cy);
        EXPECT_EQ(int32_t(r.u32()), c.id);
        std::string windowClass = r.text();
        bool isStatic = c.kind == ControlKind::bitmap;
        EXPECT_TRUE(windowClass == (isStatic ? "#130" : "#128") ||
                    !lstrcmpiA(windowClass.c_str(), isStatic ? "Static" : "Button"))
            << windowClass;
        EXPECT_EQ(r.text(), isStatic ? "#" + std::to_string(c.imageId) : std::string(c.text));
        r.p += r.u16(); // creation data
    }
}

TEST(Win32Resources, BitmapIsThePictureAndTheIconIsThere) {
    HMODULE module = HMODULE(getModuleHandle());
    HBITMAP bitmap = HBITMAP(LoadImageA(module, MAKEINTRESOURCEA(setupBitmapId), IMAGE_BITMAP, 0, 0,
                                        LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION dib;
    ASSERT_EQ(GetObjectA(bitmap, sizeof dib, &dib), int(sizeof dib));
    ASSERT_EQ(dib.dsBm.bmWidth, setupBitmapSize);
    ASSERT_EQ(dib.dsBm.bmHeight, setupBitmapSize);
    ASSERT_EQ(dib.dsBm.bmBitsPixel, 24);
    std::vector<uint8_t> rgb(size_t(setupBitmapSize) * setupBitmapSize * 3);
    makeSetupBitmap(rgb.data());
    const uint8_t* bits = static_cast<const uint8_t*>(dib.dsBm.bmBits);
    int mismatches = 0;
    for (int32_t y = 0; y < setupBitmapSize; ++y) { // bottom-up, B G R
        const uint8_t* row = bits + size_t(setupBitmapSize - 1 - y) * dib.dsBm.bmWidthBytes;
        for (int32_t x = 0; x < setupBitmapSize * 3; x += 3) {
            const uint8_t* want = &rgb[(size_t(y) * setupBitmapSize) * 3 + x];
            if (row[x] != want[2] || row[x + 1] != want[1] || row[x + 2] != want[0]) ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
    DeleteObject(bitmap);

    for (int size : {16, 32, 48, 256}) {
        HICON icon =
            HICON(LoadImageA(module, MAKEINTRESOURCEA(programIconId), IMAGE_ICON, size, size, 0));
        EXPECT_NE(icon, nullptr) << size;
        if (icon) DestroyIcon(icon);
    }
}
