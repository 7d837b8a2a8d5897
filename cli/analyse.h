#pragma once

#include <string>

#include "play/review.h"

namespace zubeki::cli {

// {"moves":[{"n":..,"move":..,"side":"l"|"u","best":..,"pv":[..],"score":S,"win_before":..,
//   "win_after":..,"verdict":null|".."},...],"summary":{"l":{..},"u":{..}}}
// S is a number, {"win":N} or {"lose":N}, for the lower side.
std::string analyseJson(const ReviewResult& r);

} // namespace zubeki::cli
