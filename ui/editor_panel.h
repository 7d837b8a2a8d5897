#pragma once

#include "play/dialog.h"
#include "play/position_editor.h"

#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QLabel;
class QPushButton;
class QShortcut;
class QToolButton;
class QWidget;

namespace zubeki {

class BoardView;
class Canvas;

// 局面 > 編集: the board becomes a position editor. Beside the board a palette of the eight
// pieces and the editor's buttons, under it the position's notation and what keeps it from being
// played, all kept up to date with every change. The controls stand on the canvas as the record
// panel does, at the board's scale.
class EditorPanel {
  public:
    struct Hooks {
        // A box through the window's message-box seam (Japanese text and title).
        std::function<void(const std::string& text, const std::string& title)> message;
        // The refusal sound.
        std::function<void()> forbidden;
        // 完了 with a position that may be played; 中止.
        std::function<void(const Position&)> done;
        std::function<void()> cancelled;
    };

    EditorPanel(Canvas& canvas, BoardView& view, const Position& from, Hooks hooks);
    ~EditorPanel();
    EditorPanel(const EditorPanel&) = delete;
    EditorPanel& operator=(const EditorPanel&) = delete;

    // A press and a release of a mouse button on square (x, y) (off the board too): with a piece
    // chosen on the palette a left press puts it down; a left press on a piece picks it up and
    // the release (dragged) or the next press elsewhere sets it down there; the right button
    // takes a piece off.
    void press(int button, int x, int y);
    void release(int button, int x, int y);
    // The palette's piece (EMPTY: none chosen; the same piece again puts it back).
    void choose(int code);
    int chosen() const { return chosen_; }
    void paste(const Position& p);
    void undo();
    void redo();
    // 完了: the position handed over, or refused with its reason in a box.
    bool finish();

    const PositionEditor& editor() const { return editor_; }
    // The reason shown under the board, in the game's Japanese ("" never: a valid position says
    // so).
    std::string reason() const;
    // The controls at the board's scale and place.
    void place();
    // The editor's board drawn afresh.
    void draw();

  private:
    void build();
    void buildPalette();
    void buildButtons(); // and the keys Ctrl+Z, Ctrl+Y
    void buildLines();   // the notation and the reason under the board
    QPushButton* button(const char* name, const char* caption, QRect twips,
                        const std::function<void()>& clicked);
    void changed();
    void setDown(int x, int y);

    Canvas& canvas_;
    BoardView& view_;
    PositionEditor editor_;
    Hooks hooks_;
    int chosen_ = 0;
    std::optional<std::pair<int, int>> picked_; // the square of a piece picked up to move
    bool dragging_ = false;                     // the press that picked it is still down
    std::vector<std::pair<QWidget*, QRect>> geometry_;
    std::vector<std::pair<QToolButton*, int>> palette_;
    std::vector<QShortcut*> shortcuts_;
    QPushButton* side_ = nullptr;
    QPushButton* undo_ = nullptr;
    QPushButton* redo_ = nullptr;
    QLabel* text_ = nullptr;
    QLabel* fault_ = nullptr;
};

// The Japanese words for what keeps a position from being played (editorFault), as the editor
// and its boxes show them.
std::string faultWords(PositionFault fault);

} // namespace zubeki
