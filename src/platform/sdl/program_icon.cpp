#include "platform/sdl/program_icon.h"

#include "resources/lanternwhirl_picture.h"

#include <gtk/gtk.h>

#include <cstring>
#include <vector>

void setGtkDefaultIcon() {
    GList* icons = nullptr;
    for (int size : {16, 32, 48, 64, 128}) {
        std::vector<uint8_t> rgba(size_t(size) * size * 4);
        makeProgramIcon(rgba.data(), size);
        GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, size, size);
        if (!pixbuf) continue;
        guchar* rows = gdk_pixbuf_get_pixels(pixbuf);
        int stride = gdk_pixbuf_get_rowstride(pixbuf);
        for (int y = 0; y < size; ++y)
            memcpy(rows + size_t(y) * stride, rgba.data() + size_t(y) * size * 4, size_t(size) * 4);
        icons = g_list_append(icons, pixbuf);
    }
    gtk_window_set_default_icon_list(icons);
    g_list_free_full(icons, g_object_unref);
}

void setWindowIcon(SDL_Window* window) {
    constexpr int size = 64;
    std::vector<uint8_t> rgba(size_t(size) * size * 4);
    makeProgramIcon(rgba.data(), size);
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), size, size, 32, size * 4,
                                                           SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
}
