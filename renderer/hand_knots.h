// The leaf profiles of the hour and minute hands, in dial units (1/1000 of the
// frame width). One source for the renderer's `leaf` and for the artwork
// generator that paints the reference hands.
#pragma once

namespace velmor::knots {

struct Knot {
    double along;     // distance from the pivot along the hand
    double halfWidth; // half the hand's width there
    double shift;     // where the hand's centre line lies across, in the reference artwork
};

inline constexpr int count = 15;

inline constexpr Knot hour[count] = {
    {0, 5, 1.5},      {30, 5, 1.5},    {55, 6, 1},    {75, 9, 1.5},   {95, 14.5, 1.75},
    {115, 21, 1.5},   {135, 23, 1.75}, {150, 23, 2},  {165, 21, 2},   {180, 16, 1},
    {195, 10.5, 1.5}, {210, 6, 1.75},  {225, 3.5, 2}, {240, 2, 1.75}, {257, 0, 2},
};

inline constexpr Knot minute[count] = {
    {0, 4, 4},         {35, 4.5, 3.75}, {65, 4.5, 4.25},   {90, 5.25, 4.5}, {115, 9, 5},
    {140, 11.5, 5.25}, {165, 14, 5.5},  {190, 14.5, 5.75}, {215, 13, 5.5},  {240, 9.5, 4.5},
    {265, 7, 4.5},     {285, 5, 4.5},   {305, 3.75, 5.5},  {325, 2.2, 5.5}, {346, 0, 5.5},
};

} // namespace velmor::knots
