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
#include "packed_strip_file.h"
#include "small_art.h"

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

// The picture sets: 100 % under the resource ids the program names, 150 % and 200 % under
// those ids plus an offset, in files with the scale in their names.
struct ArtSet {
    double scale;
    int idOffset;
    std::string suffix; // before the file's extension
};
const ArtSet SETS[] = {{1.0, 0, ""}, {1.5, 1000, "_150"}, {2.0, 2000, "_200"}};

std::string InSet(const std::string& file, const ArtSet& set) {
    const size_t dot = file.rfind('.');
    return file.substr(0, dot) + set.suffix + file.substr(dot);
}

// The icon sizes: the small and large icon sizes of 100 % to 150 % scaling.
const int ICON_SIZES[] = {16, 20, 24, 32, 40, 48};

bool AddStrips(std::vector<Output>& outputs, const ArtSet& set) {
    const StripArt strips[] = {
        {130, "button_ok.bmp", 4, 32, 23, DrawTickCell},
        {151, "button_cancel.bmp", 4, 23, 23, DrawCrossCell},
        {135, "button_about.bmp", 4, 38, 21, DrawInfoCell},
        {159, "button_homepage.bmp", 4, 202, 32, DrawHomePageCell},
        {160, "button_banner.bmp", 1, 304, 84, DrawBannerCell},
    };
    for (const StripArt& art : strips) {
        const int cellWidth = ScaledSide(art.cellWidth, set.scale);
        const int cellHeight = ScaledSide(art.cellHeight, set.scale);
        const int id = art.resourceId + set.idOffset;
        std::string file = InSet(art.file, set);
        RgbImage strip;
        std::string problem;
        if (set.idOffset == 0) {
            strip = DrawStrip(art.frames, cellWidth, cellHeight, 1.0, art.drawCell);
            outputs.push_back({id, "BITMAP", file, EncodeBmp24(strip)});
        } else {
            // Compact: the plain bitmaps of all three sets would make the program four
            // times as large.
            file = file.substr(0, file.rfind('.')) + ".strip";
            std::vector<uint8_t> bytes;
            problem =
                PackStrip(DrawNormalRow(art.frames, cellWidth, cellHeight, set.scale, art.drawCell),
                          ToneTable(1), ToneTable(2), bytes, strip);
            outputs.push_back({id, "RCDATA", file, bytes});
        }
        if (problem.empty()) {
            problem = CheckStrip(strip, art.frames, cellWidth, cellHeight);
        }
        if (!problem.empty()) {
            return Fail(file + ": " + problem);
        }
    }
    return true;
}

bool AddLights(std::vector<Output>& outputs, const ArtSet& set) {
    const std::pair<int, std::pair<std::string, Rgb8>> lights[] = {
        {133, {"light_red.bmp", {255, 0, 0}}},     {162, {"light_green.bmp", {0, 128, 0}}},
        {163, {"light_flash.bmp", {0, 255, 0}}},   {164, {"light_grey.bmp", {128, 128, 128}}},
        {165, {"light_amber.bmp", {255, 176, 0}}},
    };
    for (const auto& [id, light] : lights) {
        const RgbImage image = DrawLight(light.second, set.scale);
        const std::string file = InSet(light.first, set);
        if (image.width != ScaledSide(LIGHT_WIDTH, set.scale) ||
            image.height != ScaledSide(LIGHT_HEIGHT, set.scale) ||
            image.At(0, 0) != Rgb8{0, 0, 0} ||
            image.At(image.width / 2, image.height / 2) != light.second) {
            return Fail(file + ": not a framed light");
        }
        outputs.push_back({id + set.idOffset, "BITMAP", file, EncodeBmp24(image)});
    }
    return true;
}

bool AddIcons(std::vector<Output>& outputs) {
    std::vector<IconEntry> app;
    for (int size : ICON_SIZES) {
        app.push_back(EncodeIconImage(DrawAppIcon(size)));
    }
    outputs.push_back({128, "ICON", "tarnwell.ico", EncodeIco(app)});
    // The installer's own icon keeps the 16 and 32 pixel images: the installer stores its icon
    // uncompressed, and all six would take a twentieth of its size budget.
    outputs.push_back(
        {0, "FILE", "tarnwell_setup.ico",
         EncodeIco({EncodeIconImage(DrawAppIcon(16)), EncodeIconImage(DrawAppIcon(32))})});
    const std::pair<int, std::pair<std::string, TrayState>> trays[] = {
        {129, {"tray_alive.ico", TrayState::Alive}},
        {130, {"tray_dead.ico", TrayState::Dead}},
        {131, {"tray_waiting.ico", TrayState::Waiting}},
        {132, {"tray_slow.ico", TrayState::Slow}},
    };
    for (const auto& [id, tray] : trays) {
        const IndexedImage icon = DrawTrayIcon(tray.second);
        if (icon.width != 16 || icon.height != 16) {
            return Fail(tray.first + ": not 16 x 16");
        }
        std::vector<IconEntry> images = {EncodeIconImage(icon)};
        for (int size : ICON_SIZES) {
            if (size > 16) {
                images.push_back(EncodeIconImage(DrawTrayIcon(tray.second, size)));
            }
        }
        outputs.push_back({id, "ICON", tray.first, EncodeIco(images)});
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
    for (const ArtSet& set : SETS) {
        if (!AddStrips(outputs, set) || !AddLights(outputs, set)) {
            return 1;
        }
    }
    if (!AddIcons(outputs)) {
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
