#include "input/key_names.h"

#include "platform/keys.h"

#include <strings.h>

namespace {
// Words, not characters, for punctuation: a "/" would end a configuration line, and words read
// the same in bindlist and in a file. Numpad keys are named by their second use, as Num Lock
// changes nothing here.
// clang-format off
constexpr struct { uint8_t code; const char *name; } KEY_NAMES[] = {
    {P_KEY_MOUSE1, "mouse1"},       {P_KEY_MOUSE2, "mouse2"},       {P_KEY_MOUSE3, "mouse3"},
    {P_KEY_BACKSPACE, "backspace"}, {P_KEY_TAB, "tab"},             {P_KEY_ENTER, "enter"},
    {P_KEY_SHIFT, "shift"},         {P_KEY_CONTROL, "ctrl"},        {P_KEY_ALT, "alt"},
    {19, "pause"},                  {20, "capslock"},               {P_KEY_ESCAPE, "escape"},
    {P_KEY_SPACE, "space"},         {P_KEY_PAGE_UP, "pgup"},        {P_KEY_PAGE_DOWN, "pgdn"},
    {P_KEY_END, "end"},             {P_KEY_HOME, "home"},           {P_KEY_LEFT, "leftarrow"},
    {P_KEY_UP, "uparrow"},          {P_KEY_RIGHT, "rightarrow"},    {P_KEY_DOWN, "downarrow"},
    {P_KEY_INSERT, "ins"},          {P_KEY_DELETE, "del"},          {'0', "0"},
    {'1', "1"},                     {'2', "2"},                     {'3', "3"},
    {'4', "4"},                     {'5', "5"},                     {'6', "6"},
    {'7', "7"},                     {'8', "8"},                     {'9', "9"},
    {'A', "a"},                     {'B', "b"},                     {'C', "c"},
    {'D', "d"},                     {'E', "e"},                     {'F', "f"},
    {'G', "g"},                     {'H', "h"},                     {'I', "i"},
    {'J', "j"},                     {'K', "k"},                     {'L', "l"},
    {'M', "m"},                     {'N', "n"},                     {'O', "o"},
    {'P', "p"},                     {'Q', "q"},                     {'R', "r"},
    {'S', "s"},                     {'T', "t"},                     {'U', "u"},
    {'V', "v"},                     {'W', "w"},                     {'X', "x"},
    {'Y', "y"},                     {'Z', "z"},                     {P_KEY_NUMPAD_0, "kp_ins"},
    {97, "kp_end"},                 {98, "kp_downarrow"},           {99, "kp_pgdn"},
    {100, "kp_leftarrow"},          {101, "kp_5"},                  {102, "kp_rightarrow"},
    {103, "kp_home"},               {104, "kp_uparrow"},            {105, "kp_pgup"},
    {106, "kp_star"},               {107, "kp_plus"},               {109, "kp_minus"},
    {110, "kp_del"},                {111, "kp_slash"},              {112, "f1"},
    {113, "f2"},                    {114, "f3"},                    {115, "f4"},
    {116, "f5"},                    {117, "f6"},                    {118, "f7"},
    {119, "f8"},                    {120, "f9"},                    {121, "f10"},
    {122, "f11"},                   {123, "f12"},                   {144, "numlock"},
    {145, "scrolllock"},            {186, "semicolon"},             {187, "equals"},
    {188, "comma"},                 {189, "minus"},                 {190, "period"},
    {191, "slash"},                 {P_KEY_GRAVE, "backquote"},     {219, "lbracket"},
    {220, "backslash"},             {221, "rbracket"},              {222, "apostrophe"},
};
// clang-format on
}  // namespace

const char *KeyName(int32_t keyCode)
{
    for (const auto &key : KEY_NAMES) {
        if (key.code == keyCode) {
            return key.name;
        }
    }
    return nullptr;
}

int32_t KeyCodeFromName(const char *name)
{
    for (const auto &key : KEY_NAMES) {
        if (strcasecmp(key.name, name) == 0) {
            return key.code;
        }
    }
    return -1;
}
