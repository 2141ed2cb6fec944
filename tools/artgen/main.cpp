// tarnwell_artgen: draws every bitmap and icon of the program and writes them into res/.
//
// To regenerate the artwork, build natively and run the generator with the res/ folder:
//   cmake -S . -B build && cmake --build build --target tarnwell_artgen
//   build/tools/tarnwell_artgen res
// It checks each picture (sizes, the key background on every strip cell's border and at the
// pixel the program keys on) before it writes anything, and fails without writing if one is
// unfit. The output is the same on every run.
#include "button_art.h"
#include "image_files.h"
#include "small_art.h"
#include "strip.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Output {
    int resourceId;
    std::string kind; // resource type in the resource script
    std::string file;
    std::vector<uint8_t> bytes;
};

bool Fail(const std::string& what) {
    std::fprintf(stderr, "tarnwell_artgen: %s\n", what.c_str());
    return false;
}

bool AddStrips(std::vector<Output>& outputs) {
    const StripArt strips[] = {
        {130, "button_ok.bmp", 4, 32, 23, DrawOkStrip},
        {151, "button_cancel.bmp", 4, 23, 23, DrawCancelStrip},
        {135, "button_about.bmp", 4, 38, 21, DrawAboutStrip},
        {159, "button_homepage.bmp", 4, 202, 32, DrawHomePageStrip},
        {160, "button_banner.bmp", 1, 304, 84, DrawBannerStrip},
    };
    for (const StripArt& art : strips) {
        const RgbImage strip = art.draw();
        const std::string problem = CheckStrip(strip, art.frames, art.cellWidth, art.cellHeight);
        if (!problem.empty()) {
            return Fail(art.file + ": " + problem);
        }
        outputs.push_back({art.resourceId, "BITMAP", art.file, EncodeBmp24(strip)});
    }
    return true;
}

bool AddLights(std::vector<Output>& outputs) {
    const std::pair<int, std::pair<std::string, Rgb8>> lights[] = {
        {133, {"light_red.bmp", {255, 0, 0}}},
        {162, {"light_green.bmp", {0, 128, 0}}},
        {163, {"light_flash.bmp", {0, 255, 0}}},
        {164, {"light_grey.bmp", {128, 128, 128}}},
    };
    for (const auto& [id, light] : lights) {
        const RgbImage image = DrawLight(light.second);
        if (image.width != LIGHT_WIDTH || image.height != LIGHT_HEIGHT ||
            image.At(0, 0) != Rgb8{0, 0, 0} || image.At(5, 4) != light.second) {
            return Fail(light.first + ": not a framed light");
        }
        outputs.push_back({id, "BITMAP", light.first, EncodeBmp24(image)});
    }
    return true;
}

bool AddIcons(std::vector<Output>& outputs) {
    outputs.push_back(
        {128, "ICON", "tarnwell.ico",
         EncodeIco({EncodeIconImage(DrawAppIcon(16)), EncodeIconImage(DrawAppIcon(32))})});
    const std::pair<int, std::pair<std::string, TrayState>> trays[] = {
        {129, {"tray_alive.ico", TrayState::Alive}},
        {130, {"tray_dead.ico", TrayState::Dead}},
        {131, {"tray_waiting.ico", TrayState::Waiting}},
    };
    for (const auto& [id, tray] : trays) {
        const IndexedImage icon = DrawTrayIcon(tray.second);
        if (icon.width != 16 || icon.height != 16) {
            return Fail(tray.first + ": not 16 x 16");
        }
        outputs.push_back({id, "ICON", tray.first, EncodeIco({EncodeIconImage(icon)})});
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarnwell_artgen RES_FOLDER\n");
        return 2;
    }
    std::vector<Output> outputs;
    if (!AddStrips(outputs) || !AddLights(outputs) || !AddIcons(outputs)) {
        return 1;
    }
    const std::string folder = argv[1];
    for (const Output& out : outputs) {
        const std::string path = folder + "/" + out.file;
        if (!WriteBytes(path, out.bytes)) {
            Fail("cannot write " + path);
            return 1;
        }
        std::printf("%-6s %3d  %s\n", out.kind.c_str(), out.resourceId, out.file.c_str());
    }
    return 0;
}
