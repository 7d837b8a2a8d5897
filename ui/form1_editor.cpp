#include "record/zbk.h"
#include "ui/editor_panel.h"
#include "ui/form1.h"
#include "ui/paths.h"
#include "view/canvas.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>

namespace zubeki {

// --- the position editor ---

void Form1::EDIT_Click() {
    closeRecordPanel();
    if (refusedOnline()) return;
    if (editor_) return;
    Position from = game_.state();
    from.SIDE = game_.sideShown();
    EditorPanel::Hooks hooks;
    hooks.message = [this](const std::string& text, const std::string& title) {
        message(text, title);
    };
    hooks.forbidden = [this] {
        soundNeeded();
        dsPlay(SOUND_FORBIDDEN);
    };
    hooks.done = [this](const Position& edited) {
        const Position chosen = edited; // the editor goes first, with its position
        leaveEditor();
        closeReview();
        game_.setUpPosition(chosen);
        canvas_->update();
    };
    hooks.cancelled = [this] { leaveEditor(); };
    editor_ = std::make_unique<EditorPanel>(*canvas_, *view_, from, std::move(hooks));
    enableMenusForEditing(true);
}

void Form1::leaveEditor() {
    if (!editor_) return;
    editor_.reset();
    enableMenusForEditing(false);
    // The game's board as it stood, its check outlines with it.
    GamePainter::positionShown(PositionShown::Restored, game_.state(), game_.state().MOVE_COUNT);
    描画_桝輪郭_チェック桝();
    canvas_->update();
}

void Form1::enableMenusForEditing(bool editing) {
    if (!editing) {
        for (QAction* a : disabledForEditing_) a->setEnabled(true);
        disabledForEditing_.clear();
        return;
    }
    // Everything that would start, step or save a game under the editor waits for it to close;
    // copying, pasting and the rules stay.
    std::vector<QAction*> all;
    const auto walk = [&all](const QList<QAction*>& actions, const auto& self) -> void {
        for (QAction* a : actions) {
            all.push_back(a);
            if (a->menu()) self(a->menu()->actions(), self);
        }
    };
    walk(menuBar()->actions(), walk);
    for (QAction* a : all) {
        const bool stays = a == COPY || a == PASTE || a == HOWTO || a->menu() == STOP ||
                           a->menu() == HELP || a->isSeparator();
        if (stays || !a->isEnabled()) continue;
        a->setEnabled(false);
        disabledForEditing_.push_back(a);
    }
}

// --- copy and paste ---

void Form1::COPY_Click() {
    const std::string text = editor_ ? editor_->editor().position().text() : game_.shownText();
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void Form1::PASTE_Click() {
    closeRecordPanel();
    if (refusedOnline()) return;
    const QString text = QGuiApplication::clipboard()->text().trimmed();
    if (text.isEmpty()) {
        soundNeeded();
        dsPlay(SOUND_FORBIDDEN);
        message("貼り付ける局面がありません", "局面を貼り付け");
        return;
    }
    // Read as every position that comes in is read: the notation, then what no game can reach.
    std::string why;
    const std::optional<Position> pasted = Position::fromText(text.toStdString(), why);
    if (!pasted) {
        soundNeeded();
        dsPlay(SOUND_FORBIDDEN);
        message("局面を貼り付けられません：" + why, "局面を貼り付け");
        return;
    }
    if (editor_) {
        editor_->paste(*pasted);
        return;
    }
    closeReview();
    game_.setUpPosition(*pasted);
}

// --- games from a set-up position on file ---

bool Form1::writeSetUpGame(const std::string& name) {
    const ZbkGame zbk = game_.gameToReview().toZbk(game_.record().RECORD_POS);
    const QString file = QDir(folder_).absoluteFilePath(
        QString::fromStdString(name) +
        QLatin1String(zbkExtension.data(), static_cast<qsizetype>(zbkExtension.size())));
    const ZbkWrite written = writeZbk(toPath(file), zbk);
    if (!written.ok()) {
        message("棋譜を書き込めませんでした：" + written.error, "棋譜");
        return false;
    }
    keepFolder();
    描画_可視(false, false, false);
    描画_棋譜_IO(1);
    refreshFileList();
    message("棋譜を書き込みました", "  ");
    return true;
}

bool Form1::showZbk(const std::filesystem::path& file) {
    const ZbkRead read = readZbk(file);
    if (!read.ok()) {
        message("棋譜ﾌｧｲﾙを読み込めませんでした：" + read.error, "棋譜");
        return false;
    }
    keepFolder();
    closeReview();
    Form_Load();
    const bool cut = !game_.loadZbk(read.game);
    canvas_->update();
    message(" 読み込みました", "棋譜");
    if (cut)
        message("棋譜ﾌｧｲﾙの " + std::to_string(MoveList::CAPACITY + 1) +
                    " 手目から後は読み込みませんでした",
                "棋譜");
    if (game_.record().RECORD_LEN > 0) message("棋譜を '進 'で進めて下さい", "棋譜");
    return true;
}

} // namespace zubeki
