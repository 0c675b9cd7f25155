// vorn_datagen <output dir> [<source dir>]: writes the game's whole data tree. Every file is
// rewritten on each run except the maps, which users edit: each is written only when missing.

#include "tools/datagen/bmp.h"
#include "tools/datagen/figures.h"
#include "tools/datagen/font_atlas.h"
#include "tools/datagen/fp.h"
#include "tools/datagen/glyphs.h"
#include "tools/datagen/icons.h"
#include "tools/datagen/map_text.h"
#include "tools/datagen/menu_art.h"
#include "tools/datagen/midi.h"
#include "tools/datagen/png.h"
#include "tools/datagen/score.h"
#include "tools/datagen/sounds.h"
#include "tools/datagen/textures.h"
#include "tools/datagen/tga.h"
#include "tools/datagen/wav.h"
#include "tools/datagen/weapons.h"
#include "world/bricks.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {
std::filesystem::path root;
bool failed = false;

void Fail(const std::string &what)
{
    fprintf(stderr, "vorn_datagen: %s\n", what.c_str());
    failed = true;
}

void WriteData(const std::string &relative, const std::vector<uint8_t> &bytes)
{
    const std::filesystem::path path = root / relative;
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) {
        Fail("cannot write " + path.string());
    }
}

void WriteBmp(const std::string &relative, const Image &image, bool colourKeyed)
{
    const std::vector<uint8_t> rgb = ImageBytes(image, colourKeyed);
    WriteData(relative, EncodeBmp(image.width, image.height, rgb.data()));
}

bool ReadText(const std::filesystem::path &path, std::string *text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Fail("cannot read " + path.string());
        return false;
    }
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void WriteTextures()
{
    for (int16_t code = M_FIRST_BRICK; code <= M_LAST_BRICK; ++code) {
        WriteBmp(std::string("textures/") + W_BRICK_FILES[code - 1], PaintBrick(code), true);
    }
    WriteBmp(std::string("textures/") + W_BRICK_FILES[M_RESPAWN - 1], PaintRespawn(), true);
    WriteBmp("textures/backg/b_0.bmp", PaintBackground(), false);
    WriteBmp("textures/oth/console.bmp", PaintConsole(), false);
    for (int32_t design = 0; design < CROSSHAIR_COUNT; ++design) {
        WriteBmp("textures/cross/cross" + std::to_string(design) + ".bmp", PaintCrosshair(design),
                 true);
    }
    WriteBmp("textures/weapons/rocket_weapon.BMP", PaintRocketLauncher(), true);
    WriteBmp("textures/weapons/rail_weapon.BMP", PaintRailGun(), true);
    WriteBmp("textures/weapons/plasma_weapon.BMP", PaintPlasmaGun(), true);
    WriteBmp("textures/weapons/rocket_shoot.BMP", PaintRocket(), true);
    WriteBmp("textures/weapons/plasma_shoot.BMP", PaintPlasmaBall(), false);
}

void WriteMenu()
{
    std::string error;
    Image image;
    if (!PaintMenuBackground(&image, &error)) {
        Fail(error);
        return;
    }
    WriteBmp("textures/menu/bg_0.bmp", image, true);
    const struct {
        const char *file;
        const char *word;
    } buttons[] = {{"play", "PLAY"}, {"back", "BACK"}};
    for (const auto &button : buttons) {
        for (const bool hover : {false, true}) {
            if (!PaintMenuButton(button.word, hover, &image, &error)) {
                Fail(error);
                return;
            }
            WriteBmp(std::string("textures/menu/") + button.file + (hover ? "_1" : "_0") + ".bmp",
                     image, true);
        }
    }
    WriteBmp("textures/menu/cursor_0.bmp", PaintMenuCursor(), true);
}

void WriteFont()
{
    std::vector<uint8_t> atlas;
    std::string error;
    if (!BuildFontAtlas(FONT_MONO, &atlas, &error)) {
        Fail(error);
        return;
    }
    WriteData("textures/oth/font.tga",
              EncodeGreyTga(FONT_ATLAS_SIDE, FONT_ATLAS_SIDE, atlas.data()));
}

void WriteAnimations()
{
    std::vector<uint8_t> file;
    for (int32_t frame = 0; frame < WALK_FRAMES; ++frame) {
        const Image image = PaintWalkFrame(frame);
        AppendFpFrame(&file, image.width, image.height, FrameBytes(image).data());
    }
    WriteData("models/sarge/move.fp", file);
    file.clear();
    for (int32_t frame = 0; frame < CROUCH_FRAMES; ++frame) {
        const Image image = PaintCrouchFrame(frame);
        AppendFpFrame(&file, image.width, image.height, FrameBytes(image).data());
    }
    WriteData("models/sarge/cr.fp", file);
    file.clear();
    for (int32_t frame = 0; frame < EXPLOSION_FRAMES; ++frame) {
        const Image image = PaintExplosionFrame(frame);
        // Drawn additively: near-black is dropped and would add nothing anyway.
        AppendFpFrame(&file, image.width, image.height, ImageBytes(image, false).data());
    }
    WriteData("models/weapons/rocket.fp", file);
}

void WriteSounds()
{
    const struct {
        const char *file;
        std::vector<int16_t> (*synth)();
    } sounds[] = {
        {"media/menu/click.wav", SynthClick},  {"media/menu/move.wav", SynthHover},
        {"models/sarge/jump.wav", SynthJump},  {"media/weapons/rocket.wav", SynthRocketLaunch},
        {"media/weapons/Rail.wav", SynthRail}, {"media/weapons/Plasma.wav", SynthPlasma},
        {"media/weapons/hit.wav", SynthHit},   {"media/weapons/rocket_hit.wav", SynthExplosion},
    };
    for (const auto &sound : sounds) {
        WriteData(sound.file, EncodeWav(sound.synth(), SOUND_RATE, 1));
    }
}

void WriteMusic(const std::filesystem::path &sources)
{
    std::string text;
    if (!ReadText(sources / "ingame1.score", &text)) {
        return;
    }
    Score score;
    std::string error;
    if (!ParseScore(text, &score, &error)) {
        Fail("ingame1.score: " + error);
        return;
    }
    WriteData("media/music/ingame1.mid",
              EncodeMidi(SCORE_TICKS_PER_QUARTER, ScoreToMidiTracks(score), score.lengthTicks));
}

// The shipped maps, each from "<name>.map" among the sources: the design's arena, and three
// built for matches, where bricks are solid.
constexpr const char *MAP_NAMES[] = {"v2dm1", "v2dm2", "v2dm3", "v2dm4"};

void WriteMap(const std::filesystem::path &sources, const std::string &name)
{
    const std::string relative = "maps/" + name + ".vsm";
    std::string text;
    if (!ReadText(sources / (name + ".map"), &text)) {
        return;
    }
    // Parsed even when the map is kept, so a broken source never goes unnoticed.
    std::vector<int16_t> cells;
    std::string error;
    if (!ParseMapText(text, &cells, &error)) {
        Fail(name + ".map: " + error);
        return;
    }
    std::error_code ignored;
    if (std::filesystem::exists(root / relative, ignored)) {
        return;  // the user's own map, perhaps edited: never overwrite it
    }
    WriteData(relative, EncodeMap(cells));
}

void WriteIcons()
{
    constexpr int32_t ICON_SIZE = 128;
    WriteData("vorn2.png", EncodePng(PaintGameIcon(ICON_SIZE)));
    WriteData("vorn2forge.png", EncodePng(PaintEditorIcon(ICON_SIZE)));
}
}  // namespace

int main(int argc, char **argv)
{
    // The desktop icons are installed beside the data tree, not in it.
    if (argc == 3 && std::string(argv[1]) == "--icons") {
        root = argv[2];
        WriteIcons();
        return failed ? 1 : 0;
    }
    if (argc < 2 || argc > 3) {
        fprintf(stderr, "usage: vorn_datagen <output dir> [<source dir>]\n"
                        "       vorn_datagen --icons <output dir>\n");
        return 2;
    }
    root = argv[1];
    const std::filesystem::path sources = argc == 3 ? argv[2] : VORN_TOOLS_DATA_DIR;
    for (const char *name : MAP_NAMES) {
        WriteMap(sources, name);
    }
    WriteMusic(sources);
    WriteFont();
    WriteTextures();
    WriteMenu();
    WriteAnimations();
    WriteSounds();
    return failed ? 1 : 0;
}
