// The colours of a card's day at a glance: one per sound kind, in kind
// order, ten that stay apart for the common colour blindnesses (the caption
// is always written as well, so colour is never the only sign), light
// enough for dark text on them; the colour of a value that names no kind,
// and of a row not in use. Only data, for every program and test to read.
#pragma once

#include <array>
#include <cstdint>

#include "settings/broadcast_config.h"

struct DayColour {
  uint8_t r = 0, g = 0, b = 0;
};

// Paul Tol's "light" scheme without its pale grey (eight colours made for
// dark labels on them and told apart in every common colour blindness),
// and two of his "muted" scheme, cyan and purple, mixed half with white to
// be as light: the two nearest of the ten stay more than 10 CIE76 units
// apart under simulated deuteranopia, protanopia and tritanopia (Machado
// 2009), and each is at least as bright as the mid grey below, so black
// captions read on all of them.
constexpr std::array<DayColour, kSoundKindCount> kKindColours = {{
    {0xEE, 0xDD, 0x88},  // 狗: light yellow
    {0xEE, 0x88, 0x66},  // 虎: orange
    {0xAA, 0xAA, 0x00},  // 豹: olive
    {0xFF, 0xAA, 0xBB},  // 人: pink
    {0xD4, 0xA2, 0xCC},  // 猞猁: muted purple, lightened
    {0xBB, 0xCC, 0x33},  // 赤狐: pear
    {0x77, 0xAA, 0xDD},  // 黑熊: light blue
    {0x44, 0xBB, 0x99},  // 鸟A: mint
    {0x99, 0xDD, 0xFF},  // 鸟B: light cyan
    {0xC4, 0xE6, 0xF6},  // 鸟C: muted cyan, lightened
}};
// Greys that stay as far from every kind under the same simulations: the
// mid one dark enough not to pass for mint to a deuteranope, the light one
// Tol's pale grey.
constexpr DayColour kNoKindColour = {0x88, 0x88, 0x88};
constexpr DayColour kUnusedColour = {0xDD, 0xDD, 0xDD};
