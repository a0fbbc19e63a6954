// The resources: the dialog template's layout and the icon's PNG file.
#include "resources/dialog_template.h"
#include "resources/lanternwhirl_picture.h"
#include "resources/png_file.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <vector>

TEST(DialogTemplate, EveryControlLiesInsideTheDialogAndTheRadiosFormOneRun) {
    const DialogTemplate* t = findDialogTemplate(setupDialogId);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(findDialogTemplate(102), nullptr);
    int32_t firstRadio = -1, lastRadio = -1;
    for (int32_t i = 0; i < t->controlCount; ++i) {
        const DialogControl& c = t->controls[i];
        EXPECT_GE(c.x, 0);
        EXPECT_GE(c.y, 0);
        EXPECT_LE(c.x + c.cx, t->cx) << c.id;
        EXPECT_LE(c.y + c.cy, t->cy) << c.id;
        if (c.kind == ControlKind::autoRadioButton) {
            if (firstRadio < 0) firstRadio = i;
            EXPECT_EQ(lastRadio < 0 ? i : lastRadio + 1, i) << "radios must follow each other";
            lastRadio = i;
        }
        // A mnemonic marks a letter that exists.
        if (c.text && strchr(c.text, '&')) {
            EXPECT_NE(strchr(c.text, '&')[1], '\0');
        }
    }
    ASSERT_GE(firstRadio, 0);
    EXPECT_EQ(t->controls[firstRadio].id, controlMode640);
    EXPECT_EQ(t->controls[lastRadio].id, controlMode800);
}

TEST(PngFile, IconRoundTripsThroughLibpng) {
    const int size = 200;
    std::vector<uint8_t> rgba(size * size * 4);
    makeProgramIcon(rgba.data(), size);
    EXPECT_EQ(rgba[3], 0) << "the corner is transparent";
    EXPECT_EQ(rgba[(size / 2 * size + size / 2) * 4 + 3], 255);
    std::vector<uint8_t> file = encodePng(rgba.data(), size, size, 4);
    ASSERT_FALSE(file.empty());

    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, file.data(), file.size()))
        << image.message;
    EXPECT_EQ(image.width, unsigned(size));
    EXPECT_EQ(image.height, unsigned(size));
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> decoded(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, decoded.data(), 0, nullptr))
        << image.message;
    EXPECT_EQ(decoded, rgba);

    EXPECT_TRUE(encodePng(rgba.data(), 0, 5, 4).empty());
    EXPECT_TRUE(encodePng(nullptr, 5, 5, 4).empty());
    EXPECT_TRUE(encodePng(rgba.data(), 5, 5, 2).empty());
}
