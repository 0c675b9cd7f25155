#include "platform/keys.h"

#include <string>

#include <gtest/gtest.h>

namespace {
// Scancodes are the USB usage numbers of the physical keys.
TEST(KeysTest, PhysicalKeysGetTheirWindowsNumbers)
{
    struct Case {
        int scancode;
        uint8_t key;
    };
    const Case cases[] = {
        {4, 'A'}, {29, 'Z'}, {30, '1'}, {39, '0'}, {58, 112},       {69, 123},         {79, 39},
        {98, 96}, {53, 192}, {225, 16}, {44, 32},  {0, P_KEY_NONE}, {500, P_KEY_NONE},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.scancode);
        EXPECT_EQ(P_KeyFromScancode(c.scancode), c.key);
    }
}

// Malformed forms type nothing, and the text after them comes through whole. Overlong forms
// matter most: "C0 80" would type a 0 byte, and C1 ones would type ASCII that was never typed.
TEST(KeysTest, TextBecomesLatin1AndDropsTheRest)
{
    struct Case {
        const char *utf8;
        std::string latin1;
    };
    const Case cases[] = {
        {"abc", "abc"},
        {"\xc3\xa9t\xc3\xa9", "\xe9t\xe9"},
        {"\xe2\x82\xac!", "!"},            // the euro sign has no Latin-1 code
        {"\x80\xbfy", "y"},                // stray continuation bytes
        {"\xc3z", "z"},                    // cut-short sequence
        {"\xc2\x80\xc2\xbf", "\x80\xbf"},  // from C2 on, two-byte forms are not overlong
        {"\xc0\x80x", "x"},                // overlong 0
        {"\xc1\xbfx", "x"},                // overlong 0x7f
        {"\xe0\x80\x80x", "x"},            // three-byte overlong 0
        {"\xf0\x80\x81\x81x", "x"},        // four-byte overlong 'A'
        {"\xf8\x88\x80\x80\x80x", "x"},    // five-byte form: no such thing
        {"\xff\xfe\xc3\xa9", "\xe9"},      // never in UTF-8
        {"\xc3\xc3\xa9", "\xe9"},          // a first byte cut short by the next character
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.utf8);
        uint8_t out[32];
        const int count = P_Latin1FromUtf8(c.utf8, out, int(sizeof out));
        EXPECT_EQ(std::string(reinterpret_cast<char *>(out), size_t(count)), c.latin1);
    }
    uint8_t small[2];
    EXPECT_EQ(P_Latin1FromUtf8("abcdef", small, 2), 2);
}
}  // namespace
