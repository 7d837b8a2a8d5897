#pragma once

#include <functional>
#include <string>

namespace zubeki {

// The message-box seam: every message the game shows goes through one of these,
// so tests can read the texts and script the answers. Texts are UTF-8.
enum class Buttons { Ok, YesNo };
enum class Icon { None, Information, Exclamation, Question };
enum class Answer { Ok, Yes, No };

using MessageBoxFn = std::function<Answer(const std::string& text, const std::string& title,
                                          Buttons buttons, Icon icon)>;

} // namespace zubeki
