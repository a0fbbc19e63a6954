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

// The setup dialog.
void lwPageBeginDialog(const char* caption, const char* font, int points, int width, int height,
                       int centred);
void lwPageAddControl(int id, const char* kind, const char* text, int x, int y, int width,
                      int height, int tabStop, int centred, int sunken);
void lwPageSetPicture(int id, const uint8_t* rgb, int size);
void lwPageShowDialog(int foreground);
void lwPageCloseDialog();
int lwWaitDialogEvent(); // a command's id, or -1 for the close box
int lwPageIsChecked(int id);
void lwPageSetChecked(int id, int checked);

// Message boxes: the button's result (IDOK, IDYES, IDNO).
int lwWaitBox(const char* text, const char* caption, uint32_t type);

// The render window, full screen, the cursor and the window's messages.
int lwPageScreenSize(int across);
int lwWaitFullscreen(); // 1 when the show may fill the screen
void lwPageLeaveFullscreen();
void lwPageShowCursor(int show);
char* lwPageOpenWindow(const char* title, int width, int height, int fullscreen); // canvas id
void lwPageShowWindow();
void lwPageCloseWindow();
int lwPageTakeMessage(uint32_t* type, uintptr_t* wParam, intptr_t* lParam); // 0: none waiting
int lwPageContextLost();                                                    // 1 once WebGL is gone

// WebGL: the canvas's size and the texture that stands for name 0.
void lwPageSizeCanvas(const char* id, int width, int height);
void lwPageGiveDefaultTexture();
void lwPageMakeCaptureCanvas();

// Sound: the context's rate (0: no audio output), then the page pulls chunks of music.
int lwWaitAudio(int rate);
void lwPageStartAudio(int frames);
void lwPageCloseAudio();
}
