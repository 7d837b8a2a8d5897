#pragma once

#include <QWidget>

class QTextBrowser;

namespace zubeki {

// 遊び方: the rules of the game and its menus, with pictures of the board, in a window of its
// own. The page is built in as a resource, one for each language the window speaks.
class HelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The page shown: the resource of the language the window speaks.
    static QString pageFor();
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_ = nullptr;
};

} // namespace zubeki
