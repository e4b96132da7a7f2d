// velmor-png-compare: compares two PNG files after premultiplying both, as the
// clock draws them. Exit 0 when every channel of every pixel differs by at most
// the tolerance, 1 when not (with the worst pixel), 2 when a file cannot be read.
//   velmor-png-compare [--tolerance N] A.png B.png
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/png/png_io.h"

int main(int argc, char** argv) {
    int tolerance = 1;
    int first = 1;
    if (argc == 5 && std::string(argv[1]) == "--tolerance") {
        tolerance = std::atoi(argv[2]);
        first = 3;
    } else if (argc != 3) {
        std::fprintf(stderr, "usage: velmor-png-compare [--tolerance N] A.png B.png\n");
        return 2;
    }
    std::string error;
    const velmor::Image a = velmor::png::load(argv[first], &error);
    if (a.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[first], error.c_str());
        return 2;
    }
    const velmor::Image b = velmor::png::load(argv[first + 1], &error);
    if (b.empty()) {
        std::fprintf(stderr, "%s: %s\n", argv[first + 1], error.c_str());
        return 2;
    }
    if (a.width != b.width || a.height != b.height) {
        std::printf("sizes differ: %dx%d and %dx%d\n", a.width, a.height, b.width, b.height);
        return 1;
    }
    int worst = 0;
    std::size_t worstAt = 0, over = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        const velmor::Pixel p = a.pixels[i], q = b.pixels[i];
        const int d =
            std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b), std::abs(p.a - q.a)});
        if (d > tolerance) ++over;
        if (d > worst) {
            worst = d;
            worstAt = i;
        }
    }
    std::printf("%dx%d, largest difference %d at (%zu, %zu), %zu pixels over %d\n", a.width, a.height, worst,
                worstAt % a.width, worstAt / a.width, over, tolerance);
    return over == 0 ? 0 : 1;
}
