#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

// The online game's messages: one JSON object a WebSocket text frame, its kind in "t". This
// builds every message either side sends and reads what a player sends, strictly; the server
// and the window's client both link it. Qt Core only.
namespace zubeki::protocol {

inline constexpr int kVersion = 1;
// A frame longer than this is refused and its connection closed.
inline constexpr int kMaxFrameBytes = 4096;
inline constexpr int kMaxNameLength = 32;
// The clock a game may ask for: up to a day, and up to an hour added a move.
inline constexpr qint64 kMaxInitialSeconds = 86400;
inline constexpr qint64 kMaxIncrementSeconds = 3600;

// What a player may send.
struct ClientMessage {
    enum class Kind { Hello, Create, Join, Move, Resign, Draw, Abort, Resume, Claim, Ping };
    Kind kind = Kind::Ping;
    QString name;          // hello
    QString side;          // create: "lower", "upper" or "random"
    QString position;      // create: empty for the starting position
    bool hasClock = false; // create
    qint64 initialS = 0;
    qint64 incrementS = 0;
    QString code;        // join
    QString move;        // move
    QString token;       // resume
    bool offer = false;  // draw: {"offer":true}
    bool accept = false; // draw: {"accept":...}
};

// A frame read: the message, or the error code and a line saying what is wrong.
struct Read {
    std::optional<ClientMessage> message;
    QString code;
    QString why;
};

// Reads one frame a player sent. Anything but one JSON object of a known kind with its keys of
// the right types is refused: "bad-frame" (not a JSON object, or no "t"), "unknown-type",
// "bad-field", "version", "bad-name", "bad-side", "bad-clock".
Read readClientMessage(QByteArrayView frame);
// Reads a frame the server sent: the object, or nullopt when it is not one.
std::optional<QJsonObject> readObject(QByteArrayView frame);

// A name: 1 to 32 printable characters.
bool validName(const QString& name);

// --- what a player sends ---
QByteArray hello(const QString& name);
// side "lower", "upper" or "random"; position empty for the starting one; initialS < 0 for no
// clock.
QByteArray create(const QString& side, const QString& position = {}, qint64 initialS = -1,
                  qint64 incrementS = 0);
QByteArray join(const QString& code);
QByteArray move(const QString& move);
QByteArray resign();
QByteArray offerDraw();
QByteArray answerDraw(bool accept);
QByteArray abort();
QByteArray resume(const QString& token);
QByteArray claim();
QByteArray ping();

// --- what the server sends ---
struct Clocks {
    qint64 lowerMs = 0;
    qint64 upperMs = 0;
};
struct ClockSetting {
    qint64 initialS = 0;
    qint64 incrementS = 0;
};
struct Start {
    qint64 game = 0;
    QString position; // the starting position
    QStringList moves;
    QString you;
    QString token;
    QString opponent;
    std::optional<ClockSetting> clock;
    std::optional<Clocks> clocks; // the time left now
};
QByteArray welcome();
QByteArray created(const QString& code);
QByteArray start(const Start& s);
QByteArray moved(const QString& move, const QString& by, int n, const QString& position,
                 const std::optional<Clocks>& clocks);
QByteArray end(const QString& result, const QString& reason);
QByteArray opponent(bool connected);
QByteArray drawOffered();
QByteArray drawAnswered(bool accept);
QByteArray pong();
QByteArray error(const QString& code, const QString& why);

// What the server sent, read for a client: the kind and the fields of that kind.
struct ServerMessage {
    enum class Kind { Welcome, Created, Start, Moved, End, Opponent, Draw, Pong, Error };
    Kind kind = Kind::Pong;
    QString code;                 // created: the invite code; error: the error's code
    QString message;              // error
    Start start;                  // start
    QString move;                 // moved
    QString by;                   // moved
    int n = 0;                    // moved
    QString position;             // moved: the position after the move
    std::optional<Clocks> clocks; // moved
    QString result;               // end
    QString reason;               // end
    bool connected = false;       // opponent
    bool offer = false;           // draw: an offer (else an answer)
    bool accept = false;          // draw: the answer
};
// Reads one frame the server sent; nullopt for anything that is not a message of a known kind
// with its keys of the right types.
std::optional<ServerMessage> readServerMessage(QByteArrayView frame);

} // namespace zubeki::protocol
