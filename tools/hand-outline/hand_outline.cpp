// Prints the leaf profiles of the hour and minute hands, finely sampled, for the
// artwork generator: it paints the reference hands from exactly the profile the
// renderer draws, so the spline lives in one place only.
//
// Output: one line per sample, "hand along halfWidth shift slope" (dial units).
#include <cstdio>
#include <cstdlib>

#include "renderer/hand_knots.h"
#include "renderer/renderer.h"

int main(int argc, char** argv) {
    // Samples per dial unit; 8 keeps linear interpolation far below a pixel.
    const int perUnit = argc > 1 ? std::atoi(argv[1]) : 8;
    if (perUnit <= 0) {
        std::fprintf(stderr, "usage: velmor-hand-outline [samples-per-unit]\n");
        return 2;
    }
    // `leaf` reads no member, so a renderer without artwork serves.
    const velmor::Renderer renderer{velmor::Image{}, velmor::Image{}, velmor::Image{}};
    for (int hand = 0; hand < 2; ++hand) {
        const velmor::knots::Knot* table = hand == 0 ? velmor::knots::hour : velmor::knots::minute;
        const double length = table[velmor::knots::count - 1].along;
        const int steps = static_cast<int>(length * perUnit);
        for (int i = 0; i <= steps; ++i) {
            const double along = i == steps ? length : static_cast<double>(i) / perUnit;
            const velmor::Renderer::LeafSection s = renderer.leaf(hand, along);
            std::printf("%d %.4f %.6f %.6f %.6f\n", hand, along, s.halfWidth, s.shift, s.slope);
        }
    }
    return 0;
}
