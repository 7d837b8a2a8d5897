#pragma once

#include "play/dialog.h"
#include "play/player.h"
#include "server/client.h"
#include "ui/online_request.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QWidget;

namespace zubeki {

class Game;

namespace server {
class Server;
class Store;
} // namespace server

// What the online game needs of the window around it.
struct OnlineHost {
    Game& game;
    // A box through the window's message-box seam, in the game's words.
    std::function<Answer(const std::string& text, const std::string& title, Buttons)> say;
    // The folder the record panel lists: where finished games are written.
    std::function<QString()> recordFolder;
    // The board drawn again and the record list read again.
    std::function<void()> refresh;
    QWidget* window = nullptr;
};

// A game online from the window: the connection to the server (or the server run inside the
// window, for players on one network), the game on the board with the person at the board on
// one side and the server's moves on the other, a small window beside the board with the
// opponent, the clocks, the connection and 投了 / 引分提案 / 勝ちを申請, and the record written
// when the game ends or the player leaves it.
class OnlinePlay : public QObject {
    Q_OBJECT
  public:
    explicit OnlinePlay(OnlineHost host, QObject* parent = nullptr);
    ~OnlinePlay() override;

    // Starts what the player asked for; false (with a box saying why) when it cannot begin.
    bool start(const OnlineRequest& request);
    // Is a game online going on, or being set up?
    bool active() const;
    // The person's moves since the last call are sent to the server (after each press).
    void sendMovesPlayed();
    // The player leaves: the record of the game so far is written and the connection closed.
    void leave();

    void resign();
    void offerDraw();
    void claim();

    // What the small window shows, for tests.
    QString inviteCode() const { return code_; }
    QString statusText() const;
    QWidget* panel() const { return panel_; }
    server::Client& client() { return client_; }
    // The address the window's own server listens on, 0 when it runs none.
    quint16 ownServerPort() const;
    // Where the last finished game was written; empty when none was.
    QString lastRecord() const { return lastRecord_; }
    // The window's own server listens on this port (0: any free port, for tests).
    void setOwnServerPort(quint16 port) { ownPort_ = port; }
    // The folder of its database (default: the user's data folder).
    void setOwnServerFolder(const QString& folder) { ownFolder_ = folder; }
    // Told each invitation code the server gives (nothing when empty).
    void setInviteCodeListener(std::function<void(const QString&)> listener) {
        inviteCodeListener_ = std::move(listener);
    }

  private:
    void received(const protocol::ServerMessage& m);
    void started(const protocol::Start& s);
    void moved(const protocol::ServerMessage& m);
    void ended(const QString& result, const QString& reason);
    void failed(const QString& code, const QString& why);
    bool startOwnServer();
    void resync();
    // The game on the board is over for this window: stopped, kept and written.
    void finishGame();
    void writeRecord();
    void showPanel();
    void updatePanel();
    Answer say(const char* text, const char* title, Buttons b = Buttons::Ok);

    OnlineHost host_;
    server::Client client_;
    PeerPlayer peer_;
    std::unique_ptr<server::Store> ownStore_;
    std::unique_ptr<server::Server> ownServer_;
    quint16 ownPort_ = 7610;
    QString ownFolder_;
    QString name_;
    QString code_;
    QString opponent_;
    QString startPosition_;
    QStringList moves_; // every move the server has announced, passes too
    Side mine_ = Side::Lower;
    bool inGame_ = false;
    int sent_ = 0; // moves of the game's line already sent or heard from the server
    bool opponentConnected_ = true;
    QElapsedTimer opponentGone_;
    std::optional<protocol::Clocks> clocks_;
    QElapsedTimer sinceClocks_;
    QString lastRecord_;
    QTimer tick_;
    std::function<void(const QString&)> inviteCodeListener_;
    QPointer<QWidget> panel_;
    QLabel* status_ = nullptr;
    QPushButton* resignButton_ = nullptr;
    QPushButton* drawButton_ = nullptr;
    QPushButton* claimButton_ = nullptr;
};

} // namespace zubeki
