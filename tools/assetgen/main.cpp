// assetgen: draws every image and synthesises every sound the game loads, at build time.
// Usage: assetgen <Files folder>; creates <Files>/Common and <Files>/295 and fills them.
//        assetgen --icons <folder>; writes the desktop icons to <folder>/hicolor/.
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app_icon.h"
#include "output.h"
#include "sheets.h"
#include "sounds.h"

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--icons") return gen::WriteAppIcons(argv[2]) ? 0 : 1;
    if (argc < 2) {
        std::fprintf(stderr, "usage: assetgen <Files folder>\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path root = argv[1];
    std::error_code err;
    fs::create_directories(root / "Common", err);
    fs::create_directories(root / "295", err);
    if (err) {
        std::fprintf(stderr, "assetgen: cannot create folders in %s: %s\n", argv[1],
                     err.message().c_str());
        return 1;
    }
    const std::string common = (root / "Common").string() + "/";
    const std::string game = (root / "295").string() + "/";

    struct Image {
        std::string path;
        std::function<gen::Canvas()> draw;
    };
    const std::vector<Image> images = {
        {common + "icons.png", gen::DrawIcons},
        {common + "logo.png", gen::DrawMakerLogo},
        {common + "Hearthside.png", gen::DrawPartnerLogo},
        {game + "badges.png", gen::DrawBadges},
        {game + "logo.png", gen::DrawTitleLogo},
        {game + "menu.png", gen::DrawMenuStrip},
        {game + "gfx.png", gen::DrawGameSheet},
        {game + "twirl.png", gen::DrawTwirl},
    };
    struct Sound {
        std::string path;
        std::function<std::vector<float>()> make;
    };
    const std::vector<Sound> sounds = {
        {common + "badgeget.wav", gen::BadgeJingle}, {game + "003.wav", gen::PlateGrab},
        {game + "005.wav", gen::IntruderZap},        {game + "008.wav", gen::PickupPlink},
        {game + "031.wav", gen::HeadCrash},          {game + "098.wav", gen::MenuBlip},
    };

    bool ok = true;
    for (const Image& i : images) ok = gen::WritePng(i.path, i.draw()) && ok;
    for (const Sound& s : sounds) ok = gen::WriteWav(s.path, s.make()) && ok;
    return ok ? 0 : 1;
}
