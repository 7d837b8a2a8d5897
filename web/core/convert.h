#pragma once

#include <emscripten/val.h>

#include <string>
#include <string_view>

#include "game/position.h"

// The core's values as the page's JavaScript sees them: squares and moves in the position
// notation ("7g", "9g9f", "3c1a+", "pass"), pieces as their notation letters ("R", "+b").
namespace zubeki::web {

using emscripten::val;

// The notation letter of a piece code ("R", "+B", "r", "+b"); "" for an empty square.
std::string pieceLetter(int code);
val squareList(const SquareList& squares);
val squareArray(SquareSet squares);
const char* endName(GameEnd end);
// A move's fields: {text, from, to, piece, promotes}; the pass is {text: "pass"}.
val moveObject(const Move& m);
// Bytes for JavaScript (a Uint8Array) and back.
val bytesOut(std::string_view bytes);
std::string bytesIn(const val& array);

} // namespace zubeki::web
