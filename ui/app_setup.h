#pragma once

#include <string>
#include <string_view>

class QApplication;
class QLocale;

namespace zubeki {

// The languages the window speaks. Japanese is the game's own; English is a translation.
enum class Language { Japanese, English };

// The language asked for on the command line ("ja", "en"), or with nothing asked the system's:
// Japanese for a Japanese locale and for the C/POSIX locale, English for any other (the one
// translation there is).
Language chooseLanguage(std::string_view asked, const QLocale& system);

// Installs the translations of a language: for Japanese, Qt's own texts (the buttons of the
// message boxes) in Japanese, a missing file being no error; for English, the game's English
// texts, and Qt's own stay English.
void installTranslations(QApplication& app, Language language);

// Creates the main window, runs its start-up and shows it; answers the exit status. The choices
// kept between runs live in the platform's native place: `resetSettings` forgets them first, a
// language asked for is kept, and with none asked the kept one speaks.
// A game online begun at start: `server` empty for none.
struct OnlineAtStart {
    bool create = true;
    std::string server, code, name, side;
};
int runGame(QApplication& app, std::string_view language = {}, bool resetSettings = false,
            const OnlineAtStart& online = {});

} // namespace zubeki
