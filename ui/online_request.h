#pragma once

#include <QString>
#include <QWidget>

#include <optional>

namespace zubeki {

// What a player asks for in 通信対局 > 作成 / 参加.
struct OnlineRequest {
    bool create = true;
    QString name;
    QString server = QStringLiteral("127.0.0.1:7610"); // what the player typed
    bool thisComputer = false; // the window runs the server itself, on the local network
    QString side = QStringLiteral("random"); // create: "lower", "upper" or "random"
    int minutes = 0;                         // create: the time each side has, 0 for no clock
    int increment = 0;                       // create: seconds added after each move
    QString code;                            // join
};

// The real dialog of 通信対局 > 作成 (request.create) or 参加, filled in from `request`: what
// the player asked for, or nullopt when they cancelled.
std::optional<OnlineRequest> askOnlineRequest(QWidget* parent, const OnlineRequest& request);

} // namespace zubeki
