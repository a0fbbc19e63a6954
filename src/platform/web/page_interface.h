// Everything the program asks of its web page, in one place: page_interface.js defines each of
// these for the link (a missing or misspelt one fails it), and the build checks that every
// page function the definitions call exists in the page's scripts. The lwWait* calls give the
// browser control until the page answers (Asyncify).
#pragma once
#include <cstddef>
#include <cstdint>

extern "C" {
// The page itself: its address, values for whoever drives it, data: URLs, the next frame.
char* lwPageParameter(const char* name); // malloc'ed, or null when the address has none
void lwPagePublish(const char* name, const char* json);
char* lwPagePngUrl(const uint8_t* rgb, int width, int height);
char* lwPageBytesUrl(const uint8_t* bytes, size_t size, const char* mediaType);
void lwWaitNextFrame();

// What the page reports, in neutral terms: a key, the pointer, the focus, the page hidden or
// shown, the window's client area resized by its sizing border, a close box, a click on a
// dialog's control. page_interface.js writes it, kinds in this order.
enum PageEventKind : int32_t {
    pageNoEvent,
    pageKey,
    pagePointer,
    pageFocus,
    pageVisibility,
    pageResize,
    pageClose,
    pageClick
};

struct PageEvent {
    int32_t kind;
    // A key: down or up, the system's repeat, its keyCode (the virtual key), the character it
    // types (0: none), its place on a US keyboard ('A'..'Z', '0'..'9', 0) and the modifiers.
    int32_t down, repeat, keyCode, character, place;
    int32_t alt, ctrl, shift, meta;
    int32_t x, y;  // the pointer's place in the client area, or the client area's new size
    int32_t index; // the control clicked, in the order the dialog or box was given them
    int32_t on;    // the focus gained; the page hidden
};

// The setup dialog and message boxes: the page lays them out and draws what the program's
// dialog manager decides; their keys, clicks and close box come back as dialog events.
void lwPageBeginDialog(const char* caption, const char* font, int points, int width, int height,
                       int centred);
void lwPageAddControl(int id, const char* kind, const char* text, int x, int y, int width,
                      int height, int centred, int sunken);
void lwPageSetPicture(int id, const uint8_t* rgb, int size);
void lwPageShowDialog();
void lwPageCloseDialog();
// A box over everything: its icon ("stop", "question", "exclamation", "information" or ""),
// whether its close box is enabled, then its buttons in order.
void lwPageOpenBox(const char* caption, const char* text, const char* icon, int closeBox);
void lwPageAddBoxButton(const char* label, int isDefault);
void lwPageCloseBox();
// Draws control index of the topmost dialog or box: ticked or not, with the focus or not.
void lwPageDrawControl(int index, int checked, int focused);
// The next event of the topmost dialog or box.
void lwWaitDialogEvent(PageEvent* event);

// The render window, full screen, the cursor and the window's events.
int lwPageScreenSize(int across);
int lwWaitFullscreen(); // 1 when the show may fill the screen
void lwPageLeaveFullscreen();
void lwPageShowCursor(int show);
// The canvas's id; a sizable window has a sizing border.
char* lwPageOpenWindow(const char* title, int width, int height, int fullscreen, int sizable);
void lwPageShowWindow();
void lwPageCloseWindow();
int lwPageTakeEvent(PageEvent* event); // 0: none waiting
int lwPageContextLost();               // 1 once WebGL is gone

// WebGL: the canvas's size and the texture that stands for name 0.
void lwPageSizeCanvas(const char* id, int width, int height);
void lwPageGiveDefaultTexture();
void lwPageMakeCaptureCanvas();

// Sound: the context's rate (0: no audio output), then the page pulls chunks of music.
int lwWaitAudio(int rate);
void lwPageStartAudio(int frames);
void lwPageCloseAudio();
}
