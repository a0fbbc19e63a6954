// The program's own icon on its windows: the setup dialog, the message boxes and the render
// window carry it, so a taskbar or window switcher shows it rather than a generic one.
#pragma once
#include <SDL.h>

// Every GTK window made from now on (the dialog, the message boxes) carries the icon.
void setGtkDefaultIcon();

// The render window carries the icon.
void setWindowIcon(SDL_Window* window);

// The windows' class on X11 and app id on Wayland: the launcher's desktop id, by which
// desktops find its name and icon (a Wayland window has no icon of its own).
constexpr const char* desktopId = "example.ketterfold.lanternwhirl";
