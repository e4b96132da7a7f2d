// velmor-preview: renders clock frames from the artwork PNGs with the program's own
// renderer, outside Windows, to judge the artwork and the renderer at every size.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "renderer/renderer.h"
#include "tools/png/png_io.h"
#include "tools/preview/label.h"
#include "tools/preview/preview_options.h"

namespace {

using velmor::Image;
using velmor::Pixel;
using velmor::preview::Command;

bool loadRenderer(const std::string& dir, std::unique_ptr<velmor::Renderer>& renderer) {
    Image images[3];
    const char* names[3] = {"face.png", "reference.png", "crystal.png"};
    for (int k = 0; k < 3; ++k) {
        std::string error;
        images[k] = velmor::png::load(dir + "/" + names[k], &error);
        if (images[k].empty()) {
            std::fprintf(stderr, "velmor-preview: %s/%s: %s\n", dir.c_str(), names[k], error.c_str());
            return false;
        }
    }
    renderer =
        std::make_unique<velmor::Renderer>(std::move(images[0]), std::move(images[1]), std::move(images[2]));
    return true;
}

// A light checkerboard shows where the frame is transparent.
Image checkered(int width, int height) {
    Image out{width, height, std::vector<Pixel>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t v = ((x / 16 + y / 16) % 2) ? 206 : 226;
            out.pixels[static_cast<std::size_t>(y) * width + x] = Pixel{v, v, v, 255};
        }
    return out;
}

// Premultiplied source-over of `frame` onto `sheet` at (x, y).
void place(Image& sheet, const Image& frame, int x, int y) {
    for (int i = 0; i < frame.height; ++i)
        for (int j = 0; j < frame.width; ++j) {
            const int sx = x + j, sy = y + i;
            if (sx < 0 || sy < 0 || sx >= sheet.width || sy >= sheet.height) continue;
            const Pixel s = frame.pixels[static_cast<std::size_t>(i) * frame.width + j];
            Pixel& d = sheet.pixels[static_cast<std::size_t>(sy) * sheet.width + sx];
            const unsigned k = 255u - s.a;
            auto mix = [&](unsigned sc, unsigned dc) {
                return static_cast<std::uint8_t>(sc + (dc * k + 127) / 255);
            };
            d = Pixel{mix(s.r, d.r), mix(s.g, d.g), mix(s.b, d.b), mix(s.a, d.a)};
        }
}

struct Tile {
    std::int32_t size;
    const char* time;
    velmor::Options options;
    bool fast;
    const char* caption;
};

int sheet(velmor::Renderer& renderer, const std::string& out) {
    using velmor::Options;
    const Options all{};
    auto without = [](bool Options::*field) {
        Options o{};
        o.*field = false;
        return o;
    };
    Options weak{}, strong{};
    weak.reflection = 0.5;
    strong.reflection = 1.5;
    // Rows: the sizes; times of day; each option off in turn; the largest frame.
    const std::vector<std::vector<Tile>> rows = {
        {{160, "10:08:37", all, false, "160"},
         {200, "10:08:37", all, false, "200"},
         {240, "10:08:37", all, false, "240"},
         {320, "10:08:37", all, false, "320"},
         {480, "10:08:37", all, false, "480"},
         {640, "10:08:37", all, false, "640"}},
        {{320, "12:00:00", all, false, "12:00:00"},
         {320, "03:15:45", all, false, "03:15:45"},
         {320, "06:30:15", all, false, "06:30:15"},
         {320, "09:45:05", all, false, "09:45:05"},
         {320, "07:22:51.500", all, false, "07:22:51.500"},
         {320, "01:50:28", all, false, "01:50:28"}},
        {{320, "10:08:37.600", without(&Options::crystal), false, "NO CRYSTAL"},
         {320, "10:08:37.600", without(&Options::shadows), false, "NO SHADOWS"},
         {320, "10:08:37.600", without(&Options::seconds), false, "NO SECONDS"},
         {320, "10:08:37.600", without(&Options::smooth), false, "NO SMOOTH"},
         {320, "10:08:37.600", weak, false, "REFLECTION 50%"},
         {320, "10:08:37.600", strong, false, "REFLECTION 150%"},
         {320, "10:08:37.600", all, true, "FAST"}},
        {{1200, "10:08:37", all, false, "1200"}},
    };
    const int pad = 24, captionHeight = 7 * 2 + 12;
    int width = 0, height = pad;
    for (const auto& row : rows) {
        int w = pad, h = 0;
        for (const Tile& t : row)
            w += t.size + pad, h = std::max<int>(h, t.size);
        width = std::max(width, w);
        height += h + captionHeight + pad;
    }
    Image canvas = checkered(width, height);
    int y = pad;
    for (const auto& row : rows) {
        int x = pad, h = 0;
        for (const Tile& t : row) {
            velmor::Time time;
            velmor::preview::parseTime(t.time, time);
            Image frame;
            renderer.renderTo(frame, t.size, time, t.options, t.fast);
            place(canvas, frame, x, y);
            const std::string caption = t.caption;
            velmor::preview::drawLabel(canvas, x + (t.size - velmor::preview::labelWidth(caption, 2)) / 2,
                                       y + t.size + 8, caption, 2, 60);
            x += t.size + pad;
            h = std::max<int>(h, t.size);
        }
        y += h + captionHeight + pad;
    }
    if (!velmor::png::save(out, canvas)) {
        std::fprintf(stderr, "velmor-preview: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    Command command;
    std::string error;
    if (!velmor::preview::parse(args, command, error)) {
        std::fprintf(stderr, "velmor-preview: %s\n%s", error.c_str(), velmor::preview::USAGE);
        return 2;
    }
    std::unique_ptr<velmor::Renderer> renderer;
    if (!loadRenderer(command.resources.empty() ? VELMOR_RESOURCES_DIR : command.resources, renderer))
        return 1;
    if (command.kind == Command::Kind::Sheet) return sheet(*renderer, command.output);

    Image frame;
    renderer->renderTo(frame, command.size, command.time, command.options, command.fast);
    if (!velmor::png::save(command.output, frame)) {
        std::fprintf(stderr, "velmor-preview: cannot write %s\n", command.output.c_str());
        return 1;
    }
    return 0;
}
