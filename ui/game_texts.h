#pragma once

#include <QString>
#include <string_view>
#include <vector>

namespace zubeki {

// The words of the game's boxes as the player reads them. The game's flow, the record files
// and the sound module speak Japanese (they know no Qt); the window puts their texts into the
// language it speaks just before it shows them. A text made of words and inserted values (a
// line number, a file name, the system's reason) is matched against its template and its
// values are put into the translated template, each value itself translated when it is one of
// the game's texts. A text the game does not know — a move in the board's notation, a name
// the player typed, the system's own words — is shown as it stands.
QString shownText(std::string_view text);

// Every whole text and every template (with %1, %2 for the values) the boxes can show: what
// the translation must cover.
const std::vector<const char*>& gameTextSources();

} // namespace zubeki
