// The game's six sounds, synthesised sample by sample. Every call gives the same samples.
#pragma once

#include <cstdint>
#include <vector>

namespace zubeki::wavegen {

inline constexpr int kSampleRate = 22050;

using Samples = std::vector<std::int16_t>; // mono, 16-bit

Samples pieceClick();    // 駒打音: a dry wooden click as a piece is set down
Samples refusalBuzz();   // 禁止: a short low buzz when a move is refused
Samples vanishPop();     // 消滅: a soft pop as a surrounded piece leaves the board
Samples gameEndPhrase(); // 終局: a short rising phrase at the end of a game
Samples versionChime();  // その他: a light chime with the version box
Samples music();         // BGM: a calm tune whose end runs straight into its start

} // namespace zubeki::wavegen
