#include "ui/online_play.h"

#include "play/game.h"
#include "record/record_file.h"
#include "record/zbk.h"
#include "server/server.h"
#include "server/store.h"
#include "ui/paths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkInterface>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QWidget>

namespace zubeki {

namespace {

// A box of several lines: each is translated on its own.
const std::string kLine = "\r";

QString online(const char* text) {
    return QCoreApplication::translate("Online", text);
}

QString sideName(Side s) {
    return s == Side::Lower ? online("下手") : online("上手");
}

// m:ss of a clock, never below 0:00.
QString clockText(qint64 ms) {
    const qint64 s = std::max<qint64>(0, (ms + 999) / 1000);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

// The line that says why the game ended, in the game's words.
const char* reasonText(const QString& reason) {
    if (reason == u"capture") return "囲んで勝ち";
    if (reason == u"camp") return "敵陣を埋めて勝ち";
    if (reason == u"double-pass") return "二回続けてパス";
    if (reason == u"resign") return "投了";
    if (reason == u"agreement") return "合意の引き分け";
    if (reason == u"time") return "時間切れ";
    if (reason == u"abandoned") return "相手の切断";
    return "中止";
}

const server::SteadyClock& steadyClock() {
    static const server::SteadyClock clock;
    return clock;
}

} // namespace

OnlinePlay::OnlinePlay(OnlineHost host, QObject* parent) : QObject(parent), host_(std::move(host)) {
    connect(&client_, &server::Client::received, this, &OnlinePlay::received);
    connect(&client_, &server::Client::failed, this, &OnlinePlay::failed);
    connect(&client_, &server::Client::stateChanged, this, [this] { updatePanel(); });
    tick_.setInterval(500);
    connect(&tick_, &QTimer::timeout, this, &OnlinePlay::updatePanel);
}

OnlinePlay::~OnlinePlay() {
    client_.disconnect(this);
    delete panel_;
}

bool OnlinePlay::active() const {
    return client_.state() != server::Client::State::Idle &&
           client_.state() != server::Client::State::Ended;
}

quint16 OnlinePlay::ownServerPort() const {
    return ownServer_ ? ownServer_->port() : 0;
}

bool OnlinePlay::start(const OnlineRequest& request) {
    if (!protocol::validName(request.name)) {
        say("名前は1文字から32文字で入れてください", "通信対局");
        return false;
    }
    QUrl url;
    if (request.thisComputer) {
        if (!startOwnServer()) return false;
        url = server::Client::addressOf(QStringLiteral("127.0.0.1:%1").arg(ownServer_->port()));
    } else {
        url = server::Client::addressOf(request.server);
        if (url.isEmpty()) {
            say("サーバのアドレスが正しくありません", "通信対局");
            return false;
        }
    }
    name_ = request.name;
    code_.clear();
    opponent_.clear();
    inGame_ = false;
    clocks_.reset();
    if (request.create)
        client_.create(url, name_, request.side, request.minutes > 0 ? request.minutes * 60LL : -1,
                       request.increment);
    else
        client_.join(url, name_, request.code.trimmed());
    showPanel();
    return true;
}

bool OnlinePlay::startOwnServer() {
    if (ownServer_) return true;
    if (ownFolder_.isEmpty())
        ownFolder_ = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(ownFolder_);
    std::string error;
    ownStore_ =
        server::Store::open(QDir(ownFolder_)
                                .absoluteFilePath(QStringLiteral("zubeki-window-server.sqlite"))
                                .toStdString(),
                            error);
    QString why = QString::fromStdString(error);
    if (ownStore_) {
        server::ServerOptions options;
        options.address = QHostAddress::Any; // friends on the same network come in too
        options.port = ownPort_;
        ownServer_ = std::make_unique<server::Server>(*ownStore_, steadyClock(), options);
        if (ownServer_->start(why)) return true;
        ownServer_.reset();
    }
    ownStore_.reset();
    host_.say(std::string("このコンピュータでサーバを始められませんでした") + kLine +
                  why.toStdString(),
              "通信対局", Buttons::Ok);
    return false;
}

void OnlinePlay::received(const protocol::ServerMessage& m) {
    using Kind = protocol::ServerMessage::Kind;
    switch (m.kind) {
    case Kind::Created:
        code_ = m.code;
        if (inviteCodeListener_) inviteCodeListener_(code_);
        break;
    case Kind::Start:
        started(m.start);
        break;
    case Kind::Moved:
        moved(m);
        break;
    case Kind::End:
        ended(m.result, m.reason);
        break;
    case Kind::Opponent:
        opponentConnected_ = m.connected;
        if (!m.connected) opponentGone_.start();
        break;
    case Kind::Draw:
        if (m.offer)
            client_.answerDraw(say("相手から引き分けの申し出です。受けますか？", "引分提案",
                                   Buttons::YesNo) == Answer::Yes);
        else if (!m.accept)
            say("引き分けの申し出は断られました", "引分提案");
        break;
    case Kind::Error:
        // The server is the referee: a move it refused means the board is not its board.
        if (inGame_ && (m.code == u"illegal-move" || m.code == u"not-your-turn"))
            resync();
        else if (m.code != u"too-early")
            host_.say(std::string("サーバが受け付けませんでした") + kLine + m.message.toStdString(),
                      "通信対局", Buttons::Ok);
        else
            say("相手が戻るのを待つ時間がまだ過ぎていません", "勝ちを申請");
        break;
    default:
        break;
    }
    updatePanel();
}

void OnlinePlay::started(const protocol::Start& s) {
    const bool first = !inGame_ && moves_.isEmpty();
    startPosition_ = s.position;
    moves_ = s.moves;
    mine_ = s.you == u"upper" ? Side::Upper : Side::Lower;
    opponent_ = s.opponent;
    clocks_ = s.clocks;
    sinceClocks_.start();
    inGame_ = true;
    resync();
    if (first && s.moves.isEmpty())
        say(mine_ == Side::Lower ? "対局を始めます。あなたは下手です"
                                 : "対局を始めます。あなたは上手です",
            "通信対局");
    tick_.start();
}

void OnlinePlay::resync() {
    std::string why;
    const std::optional<Position> start = Position::fromText(startPosition_.toStdString(), why);
    if (!start) return;
    std::vector<std::string> moves;
    for (const QString& m : moves_) moves.push_back(m.toStdString());
    host_.game.beginOnline(*start, moves, mine_, peer_);
    host_.game.playOnlineTurns();
    sent_ = static_cast<int>(host_.game.line().size());
    host_.refresh();
}

void OnlinePlay::moved(const protocol::ServerMessage& m) {
    moves_ << m.move;
    clocks_ = m.clocks;
    sinceClocks_.restart();
    Game& game = host_.game;
    const Side by = m.by == u"upper" ? Side::Upper : Side::Lower;
    if (by != mine_) peer_.announce(m.move.toStdString());
    // The person's own pass is played on the board once the server has played it.
    if (by != mine_ || m.move == u"pass") game.playOnlineTurns();
    sent_ = static_cast<int>(game.line().size());
    if (QString::fromStdString(game.state().text()) != m.position) resync();
    host_.refresh();
}

void OnlinePlay::sendMovesPlayed() {
    if (!inGame_) return;
    const std::vector<Move>& line = host_.game.line();
    for (; sent_ < static_cast<int>(line.size()); ++sent_) {
        const Move& m = line[static_cast<std::size_t>(sent_)];
        if (!m.pass()) client_.move(QString::fromStdString(指し手文字列(m)));
    }
}

void OnlinePlay::finishGame() {
    tick_.stop();
    if (!inGame_) return;
    inGame_ = false;
    host_.game.endOnline();
    writeRecord();
    host_.refresh();
}

void OnlinePlay::ended(const QString& result, const QString& reason) {
    finishGame();
    const char* what = result == u"draw"      ? "引き分けです"
                       : result == u"aborted" ? "対局は中止になりました"
                       : (result == u"upper") == (mine_ == Side::Upper) ? "あなたの勝ちです"
                                                                        : "あなたの負けです";
    std::string text = std::string(what) + kLine + reasonText(reason);
    if (!lastRecord_.isEmpty())
        text += kLine + "棋譜を書き込みました" + kLine +
                QFileInfo(lastRecord_).fileName().toStdString();
    host_.say(text, "通信対局", Buttons::Ok);
}

void OnlinePlay::failed(const QString& code, const QString& why) {
    if (code == u"unreachable")
        host_.say(std::string("サーバにつながりません") + kLine + why.toStdString(), "通信対局",
                  Buttons::Ok);
    else
        host_.say(std::string("対局に入れませんでした") + kLine + why.toStdString(), "通信対局",
                  Buttons::Ok);
    // A game the player had is kept as far as it went.
    finishGame();
    updatePanel();
}

void OnlinePlay::leave() {
    finishGame();
    client_.leave();
    if (panel_) panel_->hide();
}

void OnlinePlay::resign() {
    if (inGame_ && say("投了しますか？", "投了", Buttons::YesNo) == Answer::Yes) client_.resign();
}

void OnlinePlay::offerDraw() {
    if (inGame_) client_.offerDraw();
}

void OnlinePlay::claim() {
    if (inGame_) client_.claim();
}

void OnlinePlay::writeRecord() {
    const Game& game = host_.game;
    const GameRecord played = game.gameToReview();
    if (played.moves.RECORD_POS < 1) return;
    const QDir folder(host_.recordFolder());
    const QString stem = QStringLiteral("通信対局") + QLatin1Char(' ') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HHmm"));
    const bool zbk = played.needsZbk();
    const QString extension = QString::fromUtf8(zbk ? zbkExtension.data() : recordExtension.data());
    QString name = stem;
    for (int n = 2; QFileInfo::exists(folder.absoluteFilePath(name + extension)); ++n)
        name = stem + QStringLiteral(" (%1)").arg(n);
    const QString lower = mine_ == Side::Lower ? name_ : opponent_;
    const QString upper = mine_ == Side::Lower ? opponent_ : name_;
    std::string error;
    if (zbk) {
        const ZbkWrite w = writeZbk(toPath(folder.absoluteFilePath(name + extension)),
                                    played.toZbk(played.moves.RECORD_POS));
        if (!w.ok()) error = w.error;
    } else {
        const WriteResult w = zubeki::writeRecord(
            toPath(folder.absolutePath()), name.toStdString(),
            recordHeader("通信対局", lower.toStdString(), upper.toStdString(), SIDE_SENTE),
            played.moves);
        if (!w.ok) error = w.error;
    }
    if (!error.empty()) {
        host_.say("棋譜を書き込めませんでした：" + error, "棋譜", Buttons::Ok);
        return;
    }
    lastRecord_ = folder.absoluteFilePath(name + extension);
}

void OnlinePlay::showPanel() {
    if (!panel_) {
        panel_ = new QWidget(host_.window, Qt::Tool);
        panel_->setObjectName(QStringLiteral("ONLINE_PANEL"));
        // Its own title, apart from the boxes' (通信対局): a script tells them apart by it.
        panel_->setWindowTitle(QStringLiteral("ZUBEKI ") + online("通信対局"));
        auto* layout = new QVBoxLayout(panel_);
        status_ = new QLabel(panel_);
        status_->setObjectName(QStringLiteral("ONLINE_STATUS"));
        status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(status_);
        auto* buttons = new QHBoxLayout;
        const auto button = [&](const char* name, const char* caption, void (OnlinePlay::*act)()) {
            auto* b = new QPushButton(online(caption), panel_);
            b->setObjectName(QLatin1String(name));
            connect(b, &QPushButton::clicked, this, act);
            buttons->addWidget(b);
            return b;
        };
        resignButton_ = button("ONLINE_RESIGN", "投了", &OnlinePlay::resign);
        drawButton_ = button("ONLINE_DRAW", "引分提案", &OnlinePlay::offerDraw);
        claimButton_ = button("ONLINE_CLAIM", "勝ちを申請", &OnlinePlay::claim);
        button("ONLINE_LEAVE", "退出", &OnlinePlay::leave);
        layout->addLayout(buttons);
    }
    updatePanel();
    panel_->show();
}

QString OnlinePlay::statusText() const {
    return status_ ? status_->text() : QString();
}

void OnlinePlay::updatePanel() {
    if (!panel_) return;
    QStringList lines;
    using State = server::Client::State;
    const State state = client_.state();
    if (state == State::Connecting) lines << online("サーバにつないでいます…");
    if (state == State::Waiting) {
        lines << online("招待コード：") + code_ << online("このコードを相手に伝えてください");
        if (ownServer_) {
            QStringList here;
            for (const QHostAddress& a : QNetworkInterface::allAddresses())
                if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback())
                    here << QStringLiteral("%1:%2").arg(a.toString()).arg(ownServer_->port());
            if (!here.isEmpty())
                lines << online("相手のサーバ：") + here.join(QStringLiteral(", "));
        }
    }
    if (inGame_ || state == State::Ended) {
        lines << online("相手：") + opponent_ << online("あなた：") + sideName(mine_);
        if (state == State::Reconnecting) lines << online("再接続中…");
        if (inGame_)
            lines << (opponentConnected_
                          ? online("相手は接続中")
                          : online("相手は切断中（%1秒）").arg(opponentGone_.elapsed() / 1000));
        if (clocks_) {
            // The side to move's clock runs between the server's words.
            qint64 lowerMs = clocks_->lowerMs, upperMs = clocks_->upperMs;
            if (inGame_ && host_.game.session().running())
                (host_.game.state().SIDE == Side::Lower ? lowerMs : upperMs) -=
                    sinceClocks_.elapsed();
            lines << online("下手 ") + clockText(lowerMs) + online("　上手 ") + clockText(upperMs);
        }
        if (state == State::Ended) lines << online("対局は終わりました");
    }
    status_->setText(lines.join(QLatin1Char('\n')));
    resignButton_->setEnabled(inGame_);
    drawButton_->setEnabled(inGame_);
    claimButton_->setEnabled(inGame_ && !opponentConnected_);
}

Answer OnlinePlay::say(const char* text, const char* title, Buttons b) {
    return host_.say(text, title, b);
}

} // namespace zubeki
