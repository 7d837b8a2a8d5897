#include "ui/review_window.h"
#include "record/zbk.h"

#include "game/notation.h"
#include "record/record_file.h"
#include "ui/paths.h"
#include "view/board_view.h"

#include <QChart>
#include <QChartView>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsSimpleTextItem>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPen>
#include <QProgressBar>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace zubeki {

namespace {

// A text marked with QT_TRANSLATE_NOOP, in the window's words. Literal texts call translate
// themselves, so that lupdate finds them.
QString t(const char* text) {
    return QCoreApplication::translate("ReviewWindow", text);
}

QString square(int x, int y) {
    return QString::fromStdString(squareNotation(x, y));
}

// The lower side's chance after the entry's move, in percent.
double lowerChance(const ReviewEntry& e) {
    return 100 * (e.side < 0 ? e.winAfter : 1 - e.winAfter);
}

QString scoreText(const ReviewEntry& e) {
    // The move that ended the game is its result.
    if (e.ends)
        return e.move.pass() ? QCoreApplication::translate("ReviewWindow", "引き分け")
               : e.side < 0  ? QCoreApplication::translate("ReviewWindow", "先手勝ち")
                             : QCoreApplication::translate("ReviewWindow", "後手勝ち");
    const ReviewScore& s = e.score;
    switch (s.kind) {
    case ReviewScore::Kind::Win:
        return QCoreApplication::translate("ReviewWindow", "先手勝ち(%1手)").arg(s.value);
    case ReviewScore::Kind::Loss:
        return QCoreApplication::translate("ReviewWindow", "後手勝ち(%1手)").arg(s.value);
    case ReviewScore::Kind::Value:
        break;
    }
    return s.value > 0 ? QStringLiteral("+%1").arg(s.value) : QString::number(s.value);
}

QString mark(Verdict v) {
    switch (v) {
    case Verdict::Inaccuracy:
        return QStringLiteral("?!");
    case Verdict::Mistake:
        return QStringLiteral("?");
    case Verdict::Blunder:
        return QStringLiteral("??");
    case Verdict::None:
        break;
    }
    return {};
}

QString markName(Verdict v) {
    switch (v) {
    case Verdict::Inaccuracy:
        return QCoreApplication::translate("ReviewWindow", "疑問手");
    case Verdict::Mistake:
        return QCoreApplication::translate("ReviewWindow", "悪手");
    case Verdict::Blunder:
        return QCoreApplication::translate("ReviewWindow", "大悪手");
    case Verdict::None:
        break;
    }
    return {};
}

// The whole of a row, for its tooltip when the list is too narrow to show it.
QString rowText(const ReviewEntry& e, const QString& move) {
    QString text = QCoreApplication::translate("ReviewWindow", "%1手目 %2　%3")
                       .arg(e.n)
                       .arg(move, scoreText(e));
    if (e.verdict != Verdict::None) text += QStringLiteral("　") + markName(e.verdict);
    return text;
}

// Whether a text is written in Japanese script only, upright whichever way it runs.
bool writtenUpright(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        const QChar::Script s = c.script();
        return s == QChar::Script_Han || s == QChar::Script_Hiragana || s == QChar::Script_Katakana;
    });
}

QString sideSummary(const char* side, const ReviewSideSummary& s) {
    return QCoreApplication::translate("ReviewWindow",
                                       "%1：疑問手 %2　悪手 %3　大悪手 %4　平均損失 %5%")
        .arg(t(side))
        .arg(s.inaccuracies)
        .arg(s.mistakes)
        .arg(s.blunders)
        .arg(100 * s.averageLoss, 0, 'f', 1);
}

template <class T> T* named(T* object, const char* name) {
    object->setObjectName(QLatin1String(name));
    return object;
}

} // namespace

QString boardNotation(const Move& m) {
    if (m.pass()) return QCoreApplication::translate("ReviewWindow", "パス");
    // The piece as it arrives, as the move beside the board names it: a promotion is 「角成」
    // in every language.
    return square(m.移動先X, m.移動先Y) + BoardView::glyphText(m.移動駒);
}

ReviewWindow::ReviewWindow(GameRecord game, const ReviewGame& review, const ThinkBudget& budget,
                           Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window), game_(std::move(game)), hooks_(std::move(hooks)),
      budget_(budget) {
    setObjectName(QStringLiteral("KENTOU_WINDOW"));
    setWindowTitle(QCoreApplication::translate("ReviewWindow", "検討"));
    setAttribute(Qt::WA_DeleteOnClose);

    buildMoveList();
    buildChart();
    line_ = named(new QLabel(this), "reviewLine");
    line_->setWordWrap(true);
    summary_ = named(new QLabel(this), "reviewSummary");
    progress_ = named(new QProgressBar(this), "reviewProgress");
    progress_->setValue(0);
    setLength(static_cast<int>(review.moves.size()));
    stop_ = named(new QPushButton(QCoreApplication::translate("ReviewWindow", "中止"), this),
                  "reviewStop");
    connect(stop_, &QPushButton::clicked, this, [this] { stopReview(); });
    save_ = named(new QPushButton(QCoreApplication::translate("ReviewWindow", "保存"), this),
                  "reviewSave");
    save_->setEnabled(!game_.fromFile);
    connect(save_, &QPushButton::clicked, this, [this] { save(); });

    layOut();
    startReview(review);
}

void ReviewWindow::setLength(int moves) {
    // Whole moves on the axis, some ten marks whatever the game's length.
    const int length = std::max(1, moves);
    xAxis_->setRange(0, length);
    xAxis_->setTickType(QValueAxis::TicksDynamic);
    xAxis_->setTickAnchor(0);
    xAxis_->setTickInterval(length <= 10 ? 1 : length <= 50 ? 5 : length <= 100 ? 10 : 20);
    progress_->setRange(0, moves);
    shown_.total = moves;
}

void ReviewWindow::startReview(const ReviewGame& review) {
    // Progress comes on a worker thread: only a queued call reaches the widgets.
    review_ = std::make_unique<GameReview>(
        review, budget_,
        [this](const ReviewEntry&, int, int) {
            QMetaObject::invokeMethod(
                this, [this] { pull(); }, Qt::QueuedConnection);
        },
        shown_.entries);
}

void ReviewWindow::follow(GameRecord game, const ReviewGame& review) {
    if (review_) review_->stop();
    pull(); // what the review finished before it stopped stays
    game_ = std::move(game);
    save_->setEnabled(!game_.fromFile);
    setLength(static_cast<int>(review.moves.size()));
    if (!stopped_) {
        running_ = true;
        progress_->show();
        stop_->show();
        startReview(review);
    }
    showSummary();
}

ReviewWindow::~ReviewWindow() {
    // Joined before any widget goes; calls still queued die with the window.
    review_.reset();
}

void ReviewWindow::buildMoveList() {
    moves_ = named(new QTreeWidget(this), "reviewMoves");
    moves_->setColumnCount(4);
    moves_->setHeaderLabels({QCoreApplication::translate("ReviewWindow", "手数"),
                             QCoreApplication::translate("ReviewWindow", "指し手"),
                             QCoreApplication::translate("ReviewWindow", "先手から見た評価"),
                             QCoreApplication::translate("ReviewWindow", "印")});
    moves_->headerItem()->setToolTip(
        2, QCoreApplication::translate(
               "ReviewWindow", "先手から見た点数。「勝ち(n手)」は読み切った決着までの手数"));
    moves_->headerItem()->setToolTip(
        3, QCoreApplication::translate("ReviewWindow", "?! 疑問手　? 悪手　?? 大悪手"));
    moves_->setRootIsDecorated(false);
    moves_->setUniformRowHeights(true);
    moves_->setTextElideMode(Qt::ElideRight);
    moves_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    moves_->header()->setStretchLastSection(false);
    moves_->header()->setSectionResizeMode(QHeaderView::Fixed);
    moves_->viewport()->installEventFilter(this);
    moves_->installEventFilter(this);
    // The keys choose as they walk the list; the mouse on its release, so that a click on the
    // row already chosen shows its position again. The row the list makes current by itself
    // as it gains the focus chooses nothing: the board stays with the game being played.
    connect(moves_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item, QTreeWidgetItem*) {
                if (item && !focusing_ && !choosing_ &&
                    QGuiApplication::mouseButtons() == Qt::NoButton)
                    choose(moves_->indexOfTopLevelItem(item));
            });
    connect(moves_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item, int) { choose(moves_->indexOfTopLevelItem(item)); });
}

void ReviewWindow::fitColumns() {
    QHeaderView* header = moves_->header();
    // The view's own measure of a column's rows (public on the item view, not on the tree).
    const QAbstractItemView* view = moves_;
    auto whole = [&](int c) {
        return std::max(header->sectionSizeHint(c), view->sizeHintForColumn(c));
    };
    const int number = whole(0), mark = whole(3), move = whole(1);
    const int rest = std::max(0, moves_->viewport()->width() - number - mark);
    // The move whole while the score keeps room for its points, or a third of what is left.
    // (No section is narrower than the header's least, which the list's minimum leaves room for.)
    const int narrowest = header->minimumSectionSize();
    const int least = std::max(
        narrowest,
        std::min(rest / 3, moves_->fontMetrics().horizontalAdvance(QStringLiteral("+00000"))));
    const int moveWidth = std::max(narrowest, std::min(move, rest - least));
    header->resizeSection(0, number);
    header->resizeSection(1, moveWidth);
    header->resizeSection(2, std::max(narrowest, rest - moveWidth));
    header->resizeSection(3, mark);
    // The list never so narrow that the mark would leave it.
    moves_->setMinimumWidth(number + mark + 2 * narrowest +
                            moves_->verticalScrollBar()->sizeHint().width() +
                            2 * moves_->frameWidth());
}

void ReviewWindow::layOut() {
    auto* right = new QVBoxLayout;
    right->addWidget(chartView_, 1);
    right->addWidget(line_);
    right->addWidget(summary_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(progress_, 1);
    buttons->addWidget(stop_);
    buttons->addWidget(save_);
    right->addLayout(buttons);
    auto* all = new QHBoxLayout(this);
    // Both sides grow with the window.
    all->addWidget(moves_, 1);
    all->addLayout(right, 1);
    resize(960, 480);
}

void ReviewWindow::buildChart() {
    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chance_ = new QLineSeries;
    mistakes_ = new QScatterSeries;
    mistakes_->setColor(QColor(0xff, 0x99, 0x00));
    mistakes_->setMarkerSize(9);
    blunders_ = new QScatterSeries;
    blunders_->setColor(QColor(0xdd, 0x00, 0x00));
    blunders_->setMarkerSize(11);
    selectedLine_ = new QLineSeries;
    selectedLine_->setPen(QPen(QColor(0x33, 0x66, 0xcc), 1, Qt::DashLine));
    for (QXYSeries* s : {static_cast<QXYSeries*>(chance_), static_cast<QXYSeries*>(selectedLine_),
                         static_cast<QXYSeries*>(mistakes_), static_cast<QXYSeries*>(blunders_)})
        chart_->addSeries(s);
    xAxis_ = new QValueAxis;
    xAxis_->setLabelFormat(QStringLiteral("%d"));
    xAxis_->setTitleText(QCoreApplication::translate("ReviewWindow", "手数"));
    auto* yAxis = new QValueAxis;
    yAxis->setRange(0, 100);
    yAxis->setTickCount(5);
    yAxis->setLabelFormat(QStringLiteral("%d%"));
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis, Qt::AlignLeft);
    labelChanceAxis(yAxis); // in the chart's colours, which the axis takes on joining it
    for (QAbstractSeries* s : chart_->series()) {
        s->attachAxis(xAxis_);
        s->attachAxis(yAxis);
    }
    chartView_ = named(new QChartView(chart_, this), "reviewChart");
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(360, 220);
    chartView_->viewport()->installEventFilter(this);
}

void ReviewWindow::labelChanceAxis(QValueAxis* axis) {
    const QString title = QCoreApplication::translate("ReviewWindow", "先手の勝率");
    if (!writtenUpright(title)) {
        axis->setTitleText(title);
        return;
    }
    // Japanese would lie on its side along the axis: it stands above it, read across.
    chanceLabel_ = new QGraphicsSimpleTextItem(title, chart_);
    chanceLabel_->setFont(axis->titleFont());
    chanceLabel_->setBrush(axis->titleBrush());
    chanceLabel_->setZValue(1); // over the chart's background
    const qreal height = chanceLabel_->boundingRect().height();
    chart_->setMargins(QMargins(4, 4 + static_cast<int>(std::ceil(height)), 4, 4));
    connect(chart_, &QChart::plotAreaChanged, this, [this, height](const QRectF& plot) {
        chanceLabel_->setPos(chart_->margins().left() + 2, plot.top() - height - 8);
    });
}

void ReviewWindow::pull() {
    if (!review_) return;
    const ReviewResult r = review_->result();
    const std::size_t before = shown_.entries.size();
    for (std::size_t i = before; i < r.entries.size(); ++i) addEntry(r.entries[i]);
    shown_.total = r.total;
    shown_.lower = r.lower;
    shown_.upper = r.upper;
    progress_->setValue(static_cast<int>(shown_.entries.size()));
    if (r.entries.size() > before) fitColumns();
    showSummary();
    if (static_cast<int>(shown_.entries.size()) >= r.total) finish();
}

void ReviewWindow::addEntry(const ReviewEntry& e) {
    // The graph starts from the first mover's chance before any move.
    if (shown_.entries.empty())
        chance_->append(e.index, 100 * (e.side < 0 ? e.winBefore : 1 - e.winBefore));
    shown_.entries.push_back(e);
    const double x = e.index + 1;
    chance_->append(x, lowerChance(e));
    if (e.verdict == Verdict::Mistake) mistakes_->append(x, lowerChance(e));
    if (e.verdict == Verdict::Blunder) blunders_->append(x, lowerChance(e));
    auto* item = new QTreeWidgetItem(moves_);
    const QString move =
        (e.side < 0 ? QStringLiteral("☗") : QStringLiteral("☖")) + boardNotation(e.move);
    item->setText(0, QString::number(e.n));
    item->setText(1, move);
    item->setText(2, scoreText(e));
    item->setText(3, mark(e.verdict));
    item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    for (int c = 0; c < 4; ++c) item->setToolTip(c, rowText(e, move));
}

void ReviewWindow::finish() {
    running_ = false;
    progress_->hide();
    stop_->hide();
}

void ReviewWindow::stopReview() {
    stopped_ = true;
    if (review_) review_->stop();
    pull();
    finish();
}

void ReviewWindow::showSummary() {
    QString text = sideSummary(QT_TRANSLATE_NOOP("ReviewWindow", "先手"), shown_.lower) +
                   QLatin1Char('\n') +
                   sideSummary(QT_TRANSLATE_NOOP("ReviewWindow", "後手"), shown_.upper);
    const int done = static_cast<int>(shown_.entries.size());
    // After 中止 the counts are of part of the game only.
    if (stopped_ && done < shown_.total)
        text += QLatin1Char('\n') +
                QCoreApplication::translate("ReviewWindow", "途中まで：全%2手のうち%1手")
                    .arg(done)
                    .arg(shown_.total);
    summary_->setText(text);
}

void ReviewWindow::choose(int index) {
    if (index < 0 || index >= static_cast<int>(shown_.entries.size())) return;
    choosing_ = true;
    moves_->setCurrentItem(moves_->topLevelItem(index));
    choosing_ = false;
    const ReviewEntry& e = shown_.entries[static_cast<std::size_t>(index)];
    // The position the move was played in: the list's moves before it (passes are not in it).
    int n = 0;
    for (int i = 0; i < index; ++i)
        if (!shown_.entries[static_cast<std::size_t>(i)].move.pass()) ++n;
    selected_ = index;
    markSelected(index);
    QStringList pv;
    for (const Move& m : e.pv) pv << boardNotation(m);
    line_->setText(QCoreApplication::translate("ReviewWindow", "%1手目 %2　読み筋：%3")
                       .arg(e.n)
                       .arg(boardNotation(e.move), pv.join(QLatin1Char(' '))));
    if (hooks_.show) hooks_.show(n, e.best);
}

void ReviewWindow::markSelected(int index) {
    selectedLine_->clear();
    selectedLine_->append(index + 1, 0);
    selectedLine_->append(index + 1, 100);
}

bool ReviewWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == moves_->viewport() && event->type() == QEvent::Resize) fitColumns();
    if (watched == moves_ && event->type() == QEvent::FocusIn) {
        // The list makes a row current by itself as it takes the focus; that chooses nothing.
        focusing_ = true;
        QTimer::singleShot(0, this, [this] { focusing_ = false; });
    }
    if (watched == chartView_->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const QPointF value =
            chart_->mapToValue(chart_->mapFromScene(chartView_->mapToScene(press->pos())));
        choose(static_cast<int>(std::lround(value.x())) - 1);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool ReviewWindow::save() {
    QString path = hooks_.saveFileName ? hooks_.saveFileName(this, hooks_.folder) : QString();
    if (path.isEmpty()) return false;
    const QString suffix =
        QString::fromUtf8(recordExtension.data(), static_cast<qsizetype>(recordExtension.size()));
    const QString zbk =
        QLatin1String(zbkExtension.data(), static_cast<qsizetype>(zbkExtension.size()));
    if (path.endsWith(suffix)) path.chop(suffix.size());
    if (path.endsWith(zbk)) path.chop(zbk.size());
    const QFileInfo file(path);
    const std::string name = file.fileName().toStdString();
    if (const std::string why = checkRecordName(name); !why.empty()) {
        hooks_.message(why, "棋譜");
        return false;
    }
    // A game from any other position than the start (set up, or turned with 反転) goes to a .zbk
    // file: a .棋譜 record holds only games from the start, and its reader would misread it.
    if (game_.needsZbk()) {
        const ZbkWrite written = writeZbk(toPath(path + zbk), game_.toZbk(game_.moves.RECORD_LEN));
        if (!written.ok()) {
            hooks_.message("棋譜を書き込めませんでした：" + written.error, "棋譜");
            return false;
        }
        hooks_.message("棋譜を書き込みました", "  ");
        game_.fromFile = true;
        save_->setEnabled(false);
        return true;
    }
    MoveList moves = game_.moves;
    moves.RECORD_POS = moves.RECORD_LEN;
    const WriteResult written = writeRecord(toPath(file.absolutePath()), name,
                                            recordHeader("", "", "", game_.manSide), moves);
    if (!written.ok) {
        hooks_.message(written.error, "棋譜");
        return false;
    }
    if (!written.warning.empty()) hooks_.message(written.warning, "棋譜");
    hooks_.message("棋譜を書き込みました", "  ");
    game_.fromFile = true;
    save_->setEnabled(false);
    return true;
}

void ReviewWindow::closeEvent(QCloseEvent* event) {
    if (review_) review_->stop();
    running_ = false;
    QWidget::closeEvent(event);
}

} // namespace zubeki
