#pragma once

#include "play/dialog.h"
#include "play/game.h"
#include "play/review.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QLabel;
class QLineSeries;
class QProgressBar;
class QPushButton;
class QScatterSeries;
class QTreeWidget;
class QValueAxis;

namespace zubeki {

// The 検討 window: LEVEL4 looks back over a game on worker threads while the list of moves,
// the graph of the lower side's winning chance and the summary per side fill in. Choosing a
// move shows the position it was played in on the main board, the engine's move there
// outlined and its line written under the graph.
class ReviewWindow : public QWidget {
    Q_OBJECT
  public:
    // What the window asks of the main window.
    struct Hooks {
        // Show the position after move n of the game's list, `best` outlined there.
        std::function<void(int n, const Move& best)> show;
        std::function<void(const std::string& text, const std::string& title)> message;
        // The standard save dialog: the path chosen, empty when the player cancels.
        std::function<QString(QWidget* parent, const QString& folder)> saveFileName;
        QString folder; // where the save dialog opens
    };

    ReviewWindow(GameRecord game, const ReviewGame& review, const ThinkBudget& budget, Hooks hooks,
                 QWidget* parent = nullptr);
    ~ReviewWindow() override;

    // 中止: the searches end at once; what was reviewed stays shown, and the summary says how
    // much of the game it covers.
    void stopReview();
    // The game went on after the window opened: its new moves join the list, reviewed from
    // where the review stands (after 中止 they only count in the summary).
    void follow(GameRecord game, const ReviewGame& review);
    bool running() const { return running_; }
    // Chooses the entry at `index` in the list, as a click on its row or its point does.
    void choose(int index);
    // 保存: writes the game as a record where the player chooses; true when written.
    bool save();
    const GameRecord& game() const { return game_; }
    // The entries shown so far.
    const ReviewResult& shown() const { return shown_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The list of the moves with their scores and marks; choosing a row shows its position.
    void buildMoveList();
    // The number and the mark at their whole width, the move too unless the list is very
    // narrow; the score takes what is left, cut short with "…" (its tooltip has it whole).
    void fitColumns();
    void buildChart();
    // The winning chance's label: upright above the axis where the language writes it so
    // (Japanese), else along the axis.
    void labelChanceAxis(QValueAxis* axis);
    // The moves' axis and the progress bar for a game of `moves` moves.
    void setLength(int moves);
    // LEVEL4 looks at the moves from the first not yet in the list.
    void startReview(const ReviewGame& review);
    // The list on the left, the chart, the line, the summary and the buttons on the right.
    void layOut();
    // Takes what the worker has finished since the last call into the list and the graph.
    void pull();
    void addEntry(const ReviewEntry& e);
    void finish();
    void showSummary();
    void markSelected(int index);

    GameRecord game_;
    Hooks hooks_;
    ReviewResult shown_;
    ThinkBudget budget_;
    bool running_ = true;
    bool stopped_ = false; // 中止 was pressed
    int selected_ = -1;
    bool choosing_ = false; // the list's row is being set from choose()
    bool focusing_ = false; // the list is taking the focus

    QTreeWidget* moves_ = nullptr;
    QChart* chart_ = nullptr;
    QChartView* chartView_ = nullptr;
    QLineSeries* chance_ = nullptr;
    QScatterSeries* mistakes_ = nullptr;
    QScatterSeries* blunders_ = nullptr;
    QLineSeries* selectedLine_ = nullptr;
    QValueAxis* xAxis_ = nullptr;
    QGraphicsSimpleTextItem* chanceLabel_ = nullptr; // the upright label, when there is one
    QLabel* line_ = nullptr;
    QLabel* summary_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* stop_ = nullptr;
    QPushButton* save_ = nullptr;

    // Last: stopped and joined first when the window goes.
    std::unique_ptr<GameReview> review_;
};

// A move in the board's notation: destination, piece, 成 when it promotes ("３四角成"); パス.
QString boardNotation(const Move& m);

} // namespace zubeki
