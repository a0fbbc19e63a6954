// Writes the Windows program's resources for windres: make-win32-resources DIR writes
// DIR/lanternwhirl.rc (dialog 101 from the setup dialog template, bitmap 103, icon group 104,
// the manifest), DIR/setup.bmp (the 256 × 256 picture, 24 bits per pixel), DIR/lanternwhirl.ico
// and DIR/lanternwhirl.manifest. The
// layout lives once, in the template; a cross build cannot run its own programs, so the host
// build makes these files.
#include "resources/dialog_template.h"
#include "resources/lanternwhirl_picture.h"
#include "resources/png_file.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
typedef std::vector<uint8_t> Bytes;

void put16(Bytes& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void put32(Bytes& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// BITMAPINFOHEADER of a bottom-up, uncompressed bitmap.
void putInfoHeader(Bytes& out, int32_t width, int32_t height, uint32_t bits, uint32_t imageSize) {
    put32(out, 40);
    put32(out, uint32_t(width));
    put32(out, uint32_t(height));
    put16(out, 1);
    put16(out, bits);
    put32(out, 0); // BI_RGB
    put32(out, imageSize);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
}

// A 24-bit BMP file: rows bottom-up, B G R, each row padded to four bytes.
Bytes encodeBmp(const uint8_t* rgb, int32_t width, int32_t height) {
    uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    uint32_t imageSize = rowBytes * uint32_t(height);
    Bytes out = {'B', 'M'};
    put32(out, 14 + 40 + imageSize);
    put32(out, 0);
    put32(out, 14 + 40);
    putInfoHeader(out, width, height, 24, imageSize);
    for (int32_t y = height - 1; y >= 0; --y) {
        const uint8_t* row = rgb + size_t(y) * width * 3;
        for (int32_t x = 0; x < width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3]);
        }
        out.resize(out.size() + (rowBytes - uint32_t(width) * 3), 0);
    }
    return out;
}

// One icon image as Windows keeps small ones: a 32-bit BGRA bitmap of twice the height
// (colour rows, then the 1-bit mask rows, both bottom-up; mask bit 1 = transparent).
Bytes iconDib(const uint8_t* rgba, int32_t size) {
    uint32_t maskRow = ((uint32_t(size) + 31) / 32) * 4;
    uint32_t imageSize = uint32_t(size) * size * 4 + maskRow * size;
    Bytes out;
    putInfoHeader(out, size, size * 2, 32, imageSize);
    for (int32_t y = size - 1; y >= 0; --y) {
        const uint8_t* row = rgba + size_t(y) * size * 4;
        for (int32_t x = 0; x < size; ++x)
            out.insert(out.end(), {row[x * 4 + 2], row[x * 4 + 1], row[x * 4], row[x * 4 + 3]});
    }
    for (int32_t y = size - 1; y >= 0; --y) {
        Bytes bits(maskRow, 0);
        for (int32_t x = 0; x < size; ++x)
            if (rgba[(size_t(y) * size + x) * 4 + 3] == 0) bits[x / 8] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), bits.begin(), bits.end());
    }
    return out;
}

// The icon file: 16, 32 and 48 pixels as bitmaps, 256 as PNG (as Windows expects that size).
Bytes encodeIco() {
    const int32_t sizes[] = {16, 32, 48, 256};
    std::vector<Bytes> images;
    for (int32_t size : sizes) {
        Bytes rgba(size_t(size) * size * 4);
        makeProgramIcon(rgba.data(), size);
        images.push_back(size == 256 ? encodePng(rgba.data(), size, size, 4)
                                     : iconDib(rgba.data(), size));
        if (images.back().empty()) return {};
    }
    Bytes out;
    put16(out, 0);
    put16(out, 1); // an icon
    put16(out, uint32_t(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(uint8_t(sizes[i] & 0xFF)); // 0 stands for 256
        out.push_back(uint8_t(sizes[i] & 0xFF));
        out.push_back(0); // no palette
        out.push_back(0);
        put16(out, 1);  // planes
        put16(out, 32); // bits per pixel
        put32(out, uint32_t(images[i].size()));
        put32(out, offset);
        offset += uint32_t(images[i].size());
    }
    for (const Bytes& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

// A resource-script string: quotes doubled, backslashes escaped.
std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '"')
            out += "\"\"";
        else if (*p == '\\')
            out += "\\\\";
        else
            out += *p;
    }
    return out + "\"";
}

std::string hex(uint32_t v) {
    char buffer[16];
    snprintf(buffer, sizeof buffer, "0x%08X", v);
    return buffer;
}

const char* windowClassOf(ControlKind kind) {
    return kind == ControlKind::bitmap ? "\"Static\"" : "\"Button\"";
}

// Every control as a generic CONTROL statement with its exact styles: nothing is left to the
// defaults a keyword statement would add. A picture's text is the id of its bitmap.
std::string resourceScript(const DialogTemplate& t) {
    std::string rc = "// Written by lanternwhirl-make-win32-resources from the setup dialog "
                     "template.\n";
    rc += std::to_string(t.id) + " DIALOGEX 0, 0, " + std::to_string(t.cx) + ", " +
          std::to_string(t.cy) + "\n";
    rc += "STYLE " + hex(t.style) + "\n";
    rc += "CAPTION " + quoted(t.caption) + "\n";
    rc += "FONT " + std::to_string(t.pointSize) + ", " + quoted(t.fontFace) + "\n";
    rc += "BEGIN\n";
    for (int32_t i = 0; i < t.controlCount; ++i) {
        const DialogControl& c = t.controls[i];
        std::string text = c.kind == ControlKind::bitmap ? std::to_string(c.imageId)
                                                         : quoted(c.text ? c.text : "");
        rc += "    CONTROL " + text + ", " + std::to_string(c.id) + ", " + windowClassOf(c.kind) +
              ", " + hex(c.style) + ", " + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " +
              std::to_string(c.cx) + ", " + std::to_string(c.cy) + ", " + hex(c.exStyle) + "\n";
    }
    rc += "END\n\n";
    rc += std::to_string(setupBitmapId) + " BITMAP \"setup.bmp\"\n";
    rc += std::to_string(programIconId) + " ICON \"lanternwhirl.ico\"\n";
    rc += "1 24 \"lanternwhirl.manifest\"\n"; // the process's manifest (RT_MANIFEST)
    return rc;
}

// Windows must not scale the program's window on a high-DPI desktop: the client area and the
// full-screen mode are exact pixel sizes.
const char manifest[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
    "  <application xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
    "    <windowsSettings>\n"
    "      <dpiAware "
    "xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>\n"
    "    </windowsSettings>\n"
    "  </application>\n"
    "</assembly>\n";

bool writeFile(const std::string& path, const void* data, size_t size) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        perror(path.c_str());
        return false;
    }
    bool ok = fwrite(data, 1, size, f) == size;
    if (fclose(f) != 0) ok = false;
    if (!ok) perror(path.c_str());
    return ok;
}
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    std::string dir = std::string(argv[1]) + "/";
    const DialogTemplate* dialog = findDialogTemplate(setupDialogId);
    if (!dialog) return 1;

    std::vector<uint8_t> rgb(size_t(setupBitmapSize) * setupBitmapSize * 3);
    makeSetupBitmap(rgb.data());
    Bytes bmp = encodeBmp(rgb.data(), setupBitmapSize, setupBitmapSize);
    Bytes ico = encodeIco();
    if (ico.empty()) {
        fprintf(stderr, "%s: the icon's 256-pixel PNG could not be encoded\n", argv[0]);
        return 1;
    }
    std::string rc = resourceScript(*dialog);
    bool ok = writeFile(dir + "setup.bmp", bmp.data(), bmp.size()) &&
              writeFile(dir + "lanternwhirl.ico", ico.data(), ico.size()) &&
              writeFile(dir + "lanternwhirl.manifest", manifest, sizeof manifest - 1) &&
              writeFile(dir + "lanternwhirl.rc", rc.data(), rc.size());
    return ok ? 0 : 1;
}
