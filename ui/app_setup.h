#pragma once

class QApplication;

namespace zubeki {

// Qt's own texts (the buttons of the message boxes) in Japanese; a missing
// translation file is no error.
void installJapaneseTranslation(QApplication& app);

// Creates the main window, runs its start-up and shows it; answers the exit status.
int runGame(QApplication& app);

} // namespace zubeki
