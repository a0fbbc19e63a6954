#include "fake_system.h"

#include "gl_recorder.h"
#include "platform/sound.h"
#include "shell/render_window.h"
#include "common/run_state.h"
#include "shell/startup.h"

#include <cstring>

struct WindowRecord {};
struct DeviceContextRecord {};
struct RenderContextRecord {};
struct MusicModule {};

namespace {
FakeSystem* current = nullptr;
WindowRecord theWindow;
DeviceContextRecord theDC;
RenderContextRecord theRC;
MusicModule theModule;
char moduleAnchor;

// Logs the call; false when the test made it fail.
bool call(const std::string& name) {
    fake().log.push_back(name);
    return fake().failing.count(name) == 0;
}
std::string num(int64_t v) {
    return std::to_string(v);
}
} // namespace

FakeSystem& fake() {
    return current ? *current : *(current = new FakeSystem);
}

void resetFake() {
    delete current;
    current = new FakeSystem;
    glrec::reset();
    screenWidth = 640;
    screenHeight = 480;
    fullscreen = true;
    noSound = false;
    counterFrequency = 1000;
    counterAtStart = elapsedSeconds = 0;
    currentFrame = 0;
    quitRequested = false;
    memset(keyDown, 0, sizeof keyDown);
    windowActive = true;
    mainWindow = nullptr;
    deviceContext = nullptr;
    renderContext = nullptr;
}

std::vector<std::string> logged(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& s : fake().log)
        if (s.compare(0, prefix.size(), prefix) == 0) out.push_back(s);
    return out;
}

ModuleHandle getModuleHandle() {
    return &moduleAnchor;
}
bool registerClass(const WindowClass& c) {
    return call("registerClass " + std::string(c.className));
}
bool unregisterClass(const char* name, ModuleHandle) {
    return call("unregisterClass " + std::string(name));
}
int32_t getSystemMetrics(int32_t index) {
    return index == SM_CXSCREEN ? fake().screenWidth : fake().screenHeight;
}
bool adjustWindowRectEx(Rect& r, uint32_t style, bool, uint32_t) {
    // A frame 4 pixels wide with a 20-pixel caption.
    if ((style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW)
        r = {r.left - 4, r.top - 24, r.right + 4, r.bottom + 4};
    return true;
}
WindowHandle createWindowEx(uint32_t exStyle, const char* className, const char* title,
                            uint32_t style, int32_t x, int32_t y, int32_t w, int32_t h,
                            WindowHandle, const void*, ModuleHandle, const void*) {
    fake().log.push_back("window " + std::string(className) + " '" + title + "' " + num(x) + "," +
                         num(y) + " " + num(w) + "x" + num(h) + " style " + num(style) + " ex " +
                         num(exStyle));
    return call("createWindowEx") ? &theWindow : nullptr;
}
bool destroyWindow(WindowHandle) {
    return call("destroyWindow");
}
bool showWindow(WindowHandle, int32_t) {
    return call("showWindow");
}
bool setForegroundWindow(WindowHandle) {
    return call("setForegroundWindow");
}
WindowHandle setFocus(WindowHandle) {
    call("setFocus");
    return nullptr;
}
int32_t changeDisplaySettings(const DisplayMode* mode, uint32_t) {
    if (!mode) return call("restoreDisplayMode") ? DISP_CHANGE_SUCCESSFUL : DISP_CHANGE_FAILED;
    fake().log.push_back("changeDisplaySettings " + num(mode->pelsWidth) + "x" +
                         num(mode->pelsHeight) + "x" + num(mode->bitsPerPel));
    return fake().failing.count("changeDisplaySettings") ? DISP_CHANGE_BADMODE
                                                         : DISP_CHANGE_SUCCESSFUL;
}
int32_t showCursor(bool show) {
    call(show ? "showCursor on" : "showCursor off");
    return 0;
}
DeviceContext getDC(WindowHandle) {
    return call("getDC") ? &theDC : nullptr;
}
bool releaseDC(WindowHandle, DeviceContext) {
    return call("releaseDC");
}
int32_t choosePixelFormat(DeviceContext, const PixelFormatDescriptor* d) {
    fake().log.push_back("pixelFormat colour " + num(d->colorBits) + " depth " + num(d->depthBits) +
                         " flags " + num(d->flags));
    return call("choosePixelFormat") ? 7 : 0;
}
bool setPixelFormat(DeviceContext, int32_t format, const PixelFormatDescriptor*) {
    return format == 7 && call("setPixelFormat");
}
RenderContext createGlContext(DeviceContext) {
    return call("createGlContext") ? &theRC : nullptr;
}
bool makeGlContextCurrent(DeviceContext, RenderContext rc) {
    return call(rc ? "makeCurrent" : "makeCurrent none");
}
bool deleteGlContext(RenderContext) {
    return call("deleteGlContext");
}
bool swapBuffers(DeviceContext) {
    ++fake().swaps;
    return call("swapBuffers");
}
bool peekMessage(Message& m) {
    FakeSystem& f = fake();
    if (!f.queue.empty()) {
        m = f.queue.front();
        f.queue.pop_front();
        return true;
    }
    if (!f.quitPosted) return false;
    f.quitPosted = false;
    m = {nullptr, WM_QUIT, uintptr_t(f.quitCode), 0};
    return true;
}
void translateMessage(const Message&) {}
intptr_t dispatchMessage(const Message& m) {
    call("dispatch " + num(m.type));
    return 0;
}
void postQuitMessage(int32_t code) {
    fake().quitPosted = true;
    fake().quitCode = code;
}
intptr_t defWindowProc(WindowHandle, uint32_t message, uintptr_t, intptr_t) {
    call("defWindowProc " + num(message));
    return 12345;
}
bool queryPerformanceCounter(int64_t* c) {
    return *c = fake().counter, call("queryPerformanceCounter");
}
bool queryPerformanceFrequency(int64_t* f) {
    return *f = 1000, call("queryPerformanceFrequency");
}
int32_t messageBox(WindowHandle owner, const char* text, const char* caption, uint32_t type) {
    FakeSystem& f = fake();
    f.log.push_back(std::string("messageBox ") + caption + ": " + text);
    f.boxes.push_back({owner, text, caption, type});
    if (f.boxAnswers.empty()) return IDOK;
    int32_t answer = f.boxAnswers.front();
    f.boxAnswers.pop_front();
    return answer;
}
intptr_t dialogBox(ModuleHandle, int32_t templateId, WindowHandle, DialogProc proc) {
    call("dialogBox " + num(templateId));
    DialogRecord d;
    if (fake().dialogScript) {
        fake().dialogScript(&d, proc);
    } else {
        proc(&d, WM_INITDIALOG, 0, 0);
        proc(&d, WM_COMMAND, makeParam(IDOK, BN_CLICKED), 0);
    }
    return d.ended ? d.result : -1;
}
bool endDialog(DialogHandle d, intptr_t result) {
    d->ended = true;
    d->result = result;
    return true;
}
bool checkRadioButton(DialogHandle d, int32_t first, int32_t last, int32_t check) {
    for (int32_t id = first; id <= last; ++id)
        d->checked[id] = id == check ? BST_CHECKED : 0;
    return true;
}
uint32_t isDlgButtonChecked(DialogHandle d, int32_t id) {
    return d->checked.count(id) ? d->checked[id] : BST_UNCHECKED;
}

// The sound module.
int32_t soundGetOutput() {
    return call("soundGetOutput") ? 5 : 0;
}
bool soundSetOutput(int32_t type) {
    return call("soundSetOutput " + num(type));
}
bool soundInit(int32_t rate, int32_t channels, uint32_t flags) {
    return call("soundInit " + num(rate) + " " + num(channels) + " " + num(flags));
}
int32_t soundGetError() {
    return call("soundGetError") ? fake().soundError : 0;
}
MusicModule* musicLoadSong(const char* path) {
    return call(std::string("musicLoadSong ") + path) ? &theModule : nullptr;
}
bool musicPlaySong(MusicModule* m) {
    return call(m == &theModule ? "musicPlaySong module" : "musicPlaySong other");
}
bool soundSetReverbEnvironment(int32_t env, float volume, float decay, float damping) {
    char text[96];
    snprintf(text, sizeof text, "soundSetReverbEnvironment %d %.2f %.2f %.2f", env, volume, decay,
             damping);
    return call(text);
}
void soundClose() {
    call("soundClose");
}

bool runStartUp() {
    return call("runStartUp") && fake().startUpResult;
}
