#include "gfx/font.h"

#include "platform/file.h"
#include "platform/gl.h"

#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {
constexpr int32_t GRID = 16;  // glyph cells across and down the font picture
constexpr float CELL = 1.0f / GRID;
constexpr size_t TGA_HEADER_SIZE = 18;
constexpr int32_t TAB_CELLS = 5;
constexpr int32_t ITALIC_SHEAR = 8;

// clang-format off
constexpr F_Style DEFAULT_STYLE = {
    12, false, {1.0f, 1.0f, 1.0f, 1.0f}, {0.5f, 0.5f, 0.5f, 1.0f},
};
// clang-format on

GLuint fontTexture = 0;
float glyphCells[256][2];  // lower-left texture corner of each character's cell
F_Style style = DEFAULT_STYLE;
bool blankGlyphs[256];  // cells that draw nothing at all: their quads are left out
bool skipBlanks = true;
F_Quad printQuads[F_MAX_QUADS];  // F_Print runs every frame, so its layout has a home of its own

// OpenGL state F_Print changes, as it found it.
struct SavedState {
    GLint polygonModes[2];
    GLboolean texturing;
    GLboolean depthTest;
    GLboolean lighting;
    GLboolean scissorTest;
    GLint scissorBox[4];  // kept only when the test was on: a caller's limit outlives the text
    GLboolean blending;
    GLint matrixMode;
    GLint blendSource;
    GLint blendDestination;
};

bool IsFontSide(uint16_t side) { return side >= 2 && side <= 512 && (side & (side - 1)) == 0; }

int32_t Clamp32(int64_t value)
{
    return value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : int32_t(value);
}

// Reads `count` integers of "(%d %d ...)" as a formatted scan would, up to the first ")" after
// the parenthesis. False when they are not all there or the ")" never comes.
bool ReadNumbers(const char *text, int32_t count, int32_t *values, const char **after)
{
    if (*text != '(') {
        return false;
    }
    const char *at = text + 1;
    for (int32_t i = 0; i < count; ++i) {
        while (isspace(static_cast<unsigned char>(*at))) {
            ++at;
        }
        const bool negative = *at == '-';
        if (*at == '-' || *at == '+') {
            ++at;
        }
        if (!isdigit(static_cast<unsigned char>(*at))) {
            return false;
        }
        int64_t value = 0;
        while (isdigit(static_cast<unsigned char>(*at))) {
            if (value <= INT32_MAX) {
                value = value * 10 + (*at - '0');
            }
            ++at;
        }
        values[i] = Clamp32(negative ? -value : value);
    }
    const char *const close = strchr(text + 1, ')');
    if (close == nullptr) {
        return false;
    }
    *after = close + 1;
    return true;
}

// Applies the inline code that starts right after a backslash. False when it is no complete
// code; the caller then draws the backslash as a character.
bool ApplyCode(const char *code, float colour[4], int32_t *shear, bool *bold, const char **after)
{
    int32_t values[4];
    switch (code[0]) {
    case 'c':
    case 'a': {
        const int32_t count = code[0] == 'c' ? 3 : 4;
        if (!ReadNumbers(code + 1, count, values, after)) {
            return false;
        }
        for (int32_t i = 0; i < 4; ++i) {
            // No clamping: out-of-range numbers go to OpenGL as they are.
            colour[i] = i < count ? float(values[i]) / 255.0f : 1.0f;
        }
        return true;
    }
    case 'i':
    case 'b': {
        if (code[1] != '+' && code[1] != '-') {
            return false;
        }
        const bool on = code[1] == '+';
        if (code[0] == 'i') {
            *shear = on ? ITALIC_SHEAR : 0;
        } else {
            *bold = on;
        }
        *after = code + 2;
        return true;
    }
    default:
        return false;
    }
}

void AddQuad(F_Quad *quads, int32_t capacity, int32_t *count, int64_t x, int64_t y, int32_t size,
             int32_t shear, uint8_t code, const float colour[4])
{
    if (*count >= capacity) {
        return;
    }
    F_Quad &quad = quads[(*count)++];
    quad.x = Clamp32(x);
    quad.y = Clamp32(y);
    quad.size = size;
    quad.shear = shear;
    quad.code = code;
    memcpy(quad.colour, colour, sizeof quad.colour);
}

SavedState SaveStateForText()
{
    SavedState saved = {};
    glGetIntegerv(GL_POLYGON_MODE, saved.polygonModes);
    if (saved.polygonModes[0] != GL_FILL) {
        glPolygonMode(GL_FRONT, GL_FILL);
    }
    if (saved.polygonModes[1] != GL_FILL) {
        glPolygonMode(GL_BACK, GL_FILL);
    }
    saved.texturing = glIsEnabled(GL_TEXTURE_2D);
    if (!saved.texturing) {
        glEnable(GL_TEXTURE_2D);
    }
    saved.depthTest = glIsEnabled(GL_DEPTH_TEST);
    if (saved.depthTest) {
        glDisable(GL_DEPTH_TEST);
    }
    saved.lighting = glIsEnabled(GL_LIGHTING);
    if (saved.lighting) {
        glDisable(GL_LIGHTING);
    }
    saved.scissorTest = glIsEnabled(GL_SCISSOR_TEST);
    if (!saved.scissorTest) {
        glEnable(GL_SCISSOR_TEST);
    } else {
        glGetIntegerv(GL_SCISSOR_BOX, saved.scissorBox);
    }
    glGetIntegerv(GL_MATRIX_MODE, &saved.matrixMode);
    saved.blending = glIsEnabled(GL_BLEND);
    glGetIntegerv(GL_BLEND_SRC, &saved.blendSource);
    glGetIntegerv(GL_BLEND_DST, &saved.blendDestination);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    return saved;
}

void RestoreState(const SavedState &saved)
{
    if (saved.polygonModes[0] != GL_FILL) {
        glPolygonMode(GL_FRONT, GLenum(saved.polygonModes[0]));
    }
    if (saved.polygonModes[1] != GL_FILL) {
        glPolygonMode(GL_BACK, GLenum(saved.polygonModes[1]));
    }
    if (saved.lighting) {
        glEnable(GL_LIGHTING);
    }
    if (!saved.blending) {
        glDisable(GL_BLEND);
    }
    glBlendFunc(GLenum(saved.blendSource), GLenum(saved.blendDestination));
    if (saved.depthTest) {
        glEnable(GL_DEPTH_TEST);
    }
    if (!saved.texturing) {
        glDisable(GL_TEXTURE_2D);
    }
    if (!saved.scissorTest) {
        glDisable(GL_SCISSOR_TEST);
    } else {
        glScissor(saved.scissorBox[0], saved.scissorBox[1], saved.scissorBox[2],
                  saved.scissorBox[3]);
    }
    glMatrixMode(GLenum(saved.matrixMode));
}

void DrawQuads(const F_Quad *list, int32_t count)
{
    glBegin(GL_QUADS);
    for (int32_t i = 0; i < count; ++i) {
        const F_Quad &quad = list[i];
        // Blended at alpha 0 it would leave every pixel as it was: a space costs nothing.
        if (skipBlanks && blankGlyphs[quad.code]) {
            continue;
        }
        const float u = glyphCells[quad.code][0];
        const float v = glyphCells[quad.code][1];
        const int64_t right = int64_t(quad.x) + quad.size;
        const int32_t top = Clamp32(int64_t(quad.y) + quad.size);
        glColor4fv(quad.colour);
        glTexCoord2f(u, v);
        glVertex2i(quad.x, quad.y);
        glTexCoord2f(u + CELL, v);
        glVertex2i(Clamp32(right), quad.y);
        glTexCoord2f(u + CELL, v + CELL);
        glVertex2i(Clamp32(right + quad.shear), top);
        glTexCoord2f(u, v + CELL);
        glVertex2i(Clamp32(int64_t(quad.x) + quad.shear), top);
    }
    glEnd();
}
}  // namespace

int32_t F_DecodeTga(const char *path, F_TgaImage *image)
{
    // Read-only: opening the font for writing as well would refuse a read-only file.
    const FilePtr file(fopen(path, "rb"));
    if (!file) {
        return F_CANNOT_OPEN;
    }
    uint8_t header[TGA_HEADER_SIZE] = {};
    // A header cut short reads as zeros: image type 0, which no font has.
    if (fread(header, 1, sizeof header, file.get()) != sizeof header) {
        return F_BAD_TYPE;
    }
    const uint8_t colourMapType = header[1];
    const uint8_t imageType = header[2];
    if (colourMapType != 0 || (imageType != 2 && imageType != 3)) {
        return F_BAD_TYPE;
    }
    const uint16_t width = ReadLE16(header + 12);
    const uint16_t height = ReadLE16(header + 14);
    if (!IsFontSide(width) || !IsFontSide(height)) {
        return F_BAD_SIDE;
    }
    const uint8_t bitsPerPixel = header[16];
    if (bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) {
        return F_BAD_DEPTH;
    }
    const int32_t components = bitsPerPixel / 8;
    std::vector<uint8_t> pixels(size_t(width) * height * size_t(components));
    if (fread(pixels.data(), 1, pixels.size(), file.get()) != pixels.size()) {
        return F_SHORT_PIXELS;
    }
    if (components >= 3) {
        for (size_t at = 0; at < pixels.size(); at += size_t(components)) {
            const uint8_t blue = pixels[at];
            pixels[at] = pixels[at + 2];
            pixels[at + 2] = blue;
        }
    }
    image->width = width;
    image->height = height;
    image->components = components;
    image->pixels.swap(pixels);
    return F_LOADED;
}

namespace {
void Upload(const F_TgaImage &image, uint32_t texture)
{
    const GLenum format = image.components == 1   ? GL_ALPHA
                          : image.components == 3 ? GL_RGB
                                                  : GL_RGBA;
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), image.width, image.height, 0, format,
                 GL_UNSIGNED_BYTE, image.pixels.data());
}
}  // namespace

int32_t F_LoadImage(const char *path, uint32_t texture)
{
    F_TgaImage image;
    const int32_t status = F_DecodeTga(path, &image);
    if (status == F_LOADED) {
        Upload(image, texture);
    }
    return status;
}

void F_FindBlankGlyphs(const F_TgaImage &image, bool blank[256])
{
    const int32_t cellWidth = image.width / GRID;
    const int32_t cellHeight = image.height / GRID;
    for (int32_t code = 0; code < 256; ++code) {
        // Only a picture with an alpha channel has cells that draw nothing.
        blank[code] =
            (image.components == 1 || image.components == 4) && cellWidth > 0 && cellHeight > 0;
        if (!blank[code]) {
            continue;
        }
        // The rows of code 0 come last: the glyph grid runs from the picture's top down.
        const int32_t left = (code % GRID) * cellWidth;
        const int32_t bottom = (GRID - 1 - code / GRID) * cellHeight;
        // Linear filtering reaches one texel past each edge, wrapping as the texture repeats.
        for (int32_t y = bottom - 1; y <= bottom + cellHeight && blank[code]; ++y) {
            const int32_t row = (y + image.height) % image.height;
            for (int32_t x = left - 1; x <= left + cellWidth; ++x) {
                const int32_t column = (x + image.width) % image.width;
                const size_t at = (size_t(row) * size_t(image.width) + size_t(column)) *
                                      size_t(image.components) +
                                  size_t(image.components - 1);
                if (image.pixels[at] != 0) {
                    blank[code] = false;
                    break;
                }
            }
        }
    }
}

int32_t F_Load(const char *path)
{
    glGenTextures(1, &fontTexture);
    for (int32_t code = 0; code < 256; ++code) {
        glyphCells[code][0] = float(code % GRID) * CELL;
        glyphCells[code][1] = 1.0f - CELL - float(code / GRID) * CELL;
        blankGlyphs[code] = false;
    }
    F_TgaImage image;
    const int32_t status = F_DecodeTga(path, &image);
    if (status == F_LOADED) {
        F_FindBlankGlyphs(image, blankGlyphs);
        Upload(image, fontTexture);
    }
    return status;
}

void F_SkipBlankGlyphs(bool on) { skipBlanks = on; }

void F_SetColor(float r, float g, float b) { F_SetColorA(r, g, b, 1.0f); }

void F_SetColorA(float r, float g, float b, float a)
{
    style.colour[0] = r;
    style.colour[1] = g;
    style.colour[2] = b;
    style.colour[3] = a;
}

void F_SetShadowColor(float r, float g, float b)
{
    style.shadowColour[0] = r;
    style.shadowColour[1] = g;
    style.shadowColour[2] = b;
    style.shadowColour[3] = 1.0f;
}

void F_SetSize(int32_t size) { style.size = size; }

void F_Shadow() { style.shadow = true; }

void F_Reset() { style = DEFAULT_STYLE; }

F_Style F_CurrentStyle() { return style; }

int32_t F_LayoutText(const char *text, const F_Style &textStyle, int32_t x, int32_t y,
                     int32_t viewportRight, F_Quad *list, int32_t capacity, F_Box *scissor)
{
    const int64_t size = textStyle.size;
    int64_t characters = 0;
    int64_t lineFeeds = 0;
    int64_t tabs = 0;
    for (const char *at = text; *at != '\0'; ++at) {
        ++characters;
        lineFeeds += *at == '\n';
        tabs += *at == '\t';
    }
    const int64_t tabFactor = tabs == 0 ? 1 : 4 * tabs;
    scissor->x = x;
    scissor->width = Clamp32(characters * size * tabFactor);
    scissor->y = Clamp32(y - lineFeeds * size);
    scissor->height = Clamp32((lineFeeds + 1) * size);

    float colour[4];
    memcpy(colour, textStyle.colour, sizeof colour);
    int32_t shear = 0;
    bool bold = false;
    int64_t penX = x;
    int64_t penY = y;
    int32_t count = 0;
    const char *at = text;
    while (*at != '\0' && penX <= viewportRight) {
        if (*at == '\t') {
            penX += TAB_CELLS * size;
            ++at;
            continue;
        }
        if (*at == '\n') {
            penY -= size;
            penX = x;
            ++at;
            continue;
        }
        if (*at == '\\') {
            if (at[1] == '\0') {
                break;  // a lone backslash at the end draws nothing
            }
            const char *after = nullptr;
            if (ApplyCode(at + 1, colour, &shear, &bold, &after)) {
                at = after;
                continue;
            }
            // Not a code we know: the backslash is drawn like any character.
        }
        const auto code = static_cast<uint8_t>(*at);
        const int32_t side = Clamp32(size);
        if (textStyle.shadow) {
            AddQuad(list, capacity, &count, penX + (bold ? 2 : 1), penY + 1, side, shear, code,
                    textStyle.shadowColour);
        }
        AddQuad(list, capacity, &count, penX, penY, side, shear, code, colour);
        if (bold) {
            AddQuad(list, capacity, &count, penX + 1, penY, side, shear, code, colour);
        }
        penX += size;
        ++at;
    }
    return count;
}

void F_Print(int32_t x, int32_t y, const char *format, ...)
{
    char text[F_TEXT_SIZE] = {};
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);

    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const SavedState saved = SaveStateForText();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, viewport[2], 0.0, viewport[3], -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, fontTexture);

    F_Box box = {};
    const int32_t count =
        F_LayoutText(text, style, x, y, viewport[0] + viewport[2], printQuads, F_MAX_QUADS, &box);
    glScissor(box.x, box.y, box.width, box.height);
    DrawQuads(printQuads, count);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    RestoreState(saved);
    F_Reset();
}
