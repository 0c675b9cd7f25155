#include "platform/keys.h"

#include <SDL.h>

namespace {
// Windows virtual-key numbers of the keys that are neither letters nor top-row digits.
// clang-format off
constexpr struct { SDL_Scancode scancode; uint8_t key; } SPECIAL_KEYS[] = {
    {SDL_SCANCODE_BACKSPACE, 8},     {SDL_SCANCODE_TAB, 9},           {SDL_SCANCODE_RETURN, 13},
    {SDL_SCANCODE_KP_ENTER, 13},     {SDL_SCANCODE_LSHIFT, 16},       {SDL_SCANCODE_RSHIFT, 16},
    {SDL_SCANCODE_LCTRL, 17},        {SDL_SCANCODE_RCTRL, 17},        {SDL_SCANCODE_LALT, 18},
    {SDL_SCANCODE_RALT, 18},         {SDL_SCANCODE_PAUSE, 19},        {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},       {SDL_SCANCODE_SPACE, 32},        {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},     {SDL_SCANCODE_END, 35},          {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},         {SDL_SCANCODE_UP, 38},           {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},         {SDL_SCANCODE_PRINTSCREEN, 44},  {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},       {SDL_SCANCODE_LGUI, 91},         {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},  {SDL_SCANCODE_KP_0, 96},         {SDL_SCANCODE_KP_1, 97},
    {SDL_SCANCODE_KP_2, 98},         {SDL_SCANCODE_KP_3, 99},         {SDL_SCANCODE_KP_4, 100},
    {SDL_SCANCODE_KP_5, 101},        {SDL_SCANCODE_KP_6, 102},        {SDL_SCANCODE_KP_7, 103},
    {SDL_SCANCODE_KP_8, 104},        {SDL_SCANCODE_KP_9, 105},        {SDL_SCANCODE_KP_MULTIPLY, 106},
    {SDL_SCANCODE_KP_PLUS, 107},     {SDL_SCANCODE_KP_MINUS, 109},    {SDL_SCANCODE_KP_PERIOD, 110},
    {SDL_SCANCODE_KP_DIVIDE, 111},   {SDL_SCANCODE_NUMLOCKCLEAR, 144},{SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_SEMICOLON, 186},   {SDL_SCANCODE_EQUALS, 187},      {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},       {SDL_SCANCODE_PERIOD, 190},      {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},       {SDL_SCANCODE_LEFTBRACKET, 219}, {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221},{SDL_SCANCODE_APOSTROPHE, 222},  {SDL_SCANCODE_NONUSBACKSLASH, 226},
};
// clang-format on
}  // namespace

uint8_t P_KeyFromScancode(int scancode)
{
    // Scancodes name the physical key, so the controls sit in the same place on every layout.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        return uint8_t('A' + (scancode - SDL_SCANCODE_A));
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0) {
        return scancode == SDL_SCANCODE_0 ? '0' : uint8_t('1' + (scancode - SDL_SCANCODE_1));
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
        return uint8_t(112 + (scancode - SDL_SCANCODE_F1));
    }
    for (const auto &entry : SPECIAL_KEYS) {
        if (entry.scancode == scancode) {
            return entry.key;
        }
    }
    return P_KEY_NONE;
}

int P_Latin1FromUtf8(const char *text, uint8_t *out, int capacity)
{
    int count = 0;
    const auto *bytes = reinterpret_cast<const uint8_t *>(text);
    while (*bytes != 0 && count < capacity) {
        uint32_t code = *bytes;
        int length = 1;
        if (code >= 0x80 && code < 0xC2) {
            // A stray continuation byte, or 0xC0 and 0xC1, which only ever start overlong forms
            // ("C0 80" would type a 0 byte); the form's continuation bytes are skipped as strays.
            ++bytes;
            continue;
        }
        if (code >= 0xF0) {
            length = 4;
        } else if (code >= 0xE0) {
            length = 3;
        } else if (code >= 0xC0) {
            length = 2;
            code &= 0x1F;
        }
        for (int i = 1; i < length; ++i) {
            if ((bytes[i] & 0xC0) != 0x80) {
                length = i;  // cut short: drop what we have
                code = 0x100;
                break;
            }
            code = (code << 6) | (bytes[i] & 0x3F);
        }
        // Only Latin-1 has a glyph in the font; longer forms, overlong ones included, are dropped.
        if (length <= 2 && code <= 0xFF) {
            out[count++] = uint8_t(code);
        }
        bytes += length;
    }
    return count;
}
