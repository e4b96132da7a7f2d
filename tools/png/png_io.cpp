#include "tools/png/png_io.h"

#include <spng.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace velmor::png {

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

namespace {
std::uint32_t be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
} // namespace

Layout layout(const std::vector<std::uint8_t>& bytes) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Layout out;
    if (bytes.size() < 8 || !std::equal(signature, signature + 8, bytes.begin())) return out;
    std::size_t pos = 8;
    while (pos + 12 <= bytes.size()) {
        const std::uint32_t length = be32(&bytes[pos]);
        if (length > bytes.size() - pos - 12) break;
        const std::string type(reinterpret_cast<const char*>(&bytes[pos + 4]), 4);
        if (type == "IHDR" && length == 13 && out.chunks.empty()) {
            const std::uint8_t* d = &bytes[pos + 8];
            out.width = be32(d);
            out.height = be32(d + 4);
            out.bitDepth = d[8];
            out.colourType = d[9];
            out.interlace = d[12];
            out.valid = true;
        }
        out.chunks.push_back(type);
        pos += 12 + length;
        if (type == "IEND") break;
    }
    return out;
}

Image premultiply(std::int32_t width, std::int32_t height, const std::uint8_t* s) {
    Image image{width, height, std::vector<Pixel>(static_cast<std::size_t>(width) * height)};
    for (Pixel& p : image.pixels) {
        const unsigned a = s[3];
        p = Pixel{static_cast<std::uint8_t>((s[0] * a + 127) / 255),
                  static_cast<std::uint8_t>((s[1] * a + 127) / 255),
                  static_cast<std::uint8_t>((s[2] * a + 127) / 255), static_cast<std::uint8_t>(a)};
        s += 4;
    }
    return image;
}

std::vector<std::uint8_t> unpremultiply(const Image& image) {
    std::vector<std::uint8_t> out(image.pixels.size() * 4);
    std::uint8_t* d = out.data();
    for (const Pixel& p : image.pixels) {
        if (p.a == 0) {
            d[0] = d[1] = d[2] = d[3] = 0;
        } else {
            // Rounded, and capped: a malformed pixel must not wrap around.
            auto un = [&](unsigned c) {
                return static_cast<std::uint8_t>(std::min(255u, (c * 255 + p.a / 2) / p.a));
            };
            d[0] = un(p.r);
            d[1] = un(p.g);
            d[2] = un(p.b);
            d[3] = p.a;
        }
        d += 4;
    }
    return out;
}

Image decode(const std::vector<std::uint8_t>& bytes, std::string* error) {
    auto fail = [&](const char* what, int code) {
        if (error) *error = std::string(what) + ": " + (code ? spng_strerror(code) : "");
        return Image{};
    };
    if (bytes.empty()) return fail("no data", 0);
    spng_ctx* ctx = spng_ctx_new(0);
    if (!ctx) return fail("out of memory", 0);
    Image result;
    int rc = spng_set_png_buffer(ctx, bytes.data(), bytes.size());
    spng_ihdr ihdr{};
    if (rc == 0) rc = spng_get_ihdr(ctx, &ihdr);
    std::size_t size = 0;
    if (rc == 0) rc = spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size);
    std::vector<std::uint8_t> straight;
    if (rc == 0) {
        straight.resize(size);
        rc = spng_decode_image(ctx, straight.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS);
    }
    spng_ctx_free(ctx);
    if (rc != 0) return fail("decode", rc);
    return premultiply(static_cast<std::int32_t>(ihdr.width), static_cast<std::int32_t>(ihdr.height),
                       straight.data());
}

Image load(const std::string& path, std::string* error) {
    const std::vector<std::uint8_t> bytes = readFile(path);
    if (bytes.empty()) {
        if (error) *error = "cannot read " + path;
        return Image{};
    }
    return decode(bytes, error);
}

bool save(const std::string& path, const Image& premultiplied) {
    if (premultiplied.empty()) return false;
    std::vector<std::uint8_t> straight = unpremultiply(premultiplied);
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    if (!ctx) return false;
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{};
    ihdr.width = static_cast<std::uint32_t>(premultiplied.width);
    ihdr.height = static_cast<std::uint32_t>(premultiplied.height);
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    int rc = spng_set_ihdr(ctx, &ihdr);
    if (rc == 0)
        rc = spng_encode_image(ctx, straight.data(), straight.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    std::size_t length = 0;
    void* buffer = rc == 0 ? spng_get_png_buffer(ctx, &length, &rc) : nullptr;
    spng_ctx_free(ctx);
    if (!buffer) return false;
    bool ok = false;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        ok = std::fwrite(buffer, 1, length, f) == length;
        ok = std::fclose(f) == 0 && ok;
    }
    std::free(buffer);
    return ok;
}

} // namespace velmor::png
