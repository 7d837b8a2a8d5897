#include "ui/form1.h"
#include "ui/online_play.h"
#include "ui/review_window.h"
#include "view/canvas.h"

namespace zubeki {

// --- 通信対局 ---

void Form1::ONLINE_CREATE_Click() {
    onlineClick(true);
}

void Form1::ONLINE_JOIN_Click() {
    onlineClick(false);
}

void Form1::onlineClick(bool create) {
    closeRecordPanel();
    if (refusedOnline()) return;
    if (editor_) return;
    OnlineRequest asked;
    asked.create = create;
    asked.name = kept_.onlineName();
    if (!kept_.onlineServer().isEmpty()) asked.server = kept_.onlineServer();
    const std::optional<OnlineRequest> request = seams_.askOnline(this, asked);
    if (!request) return;
    kept_.setOnline(request->name, request->server);
    startOnline(*request);
}

void Form1::startOnline(OnlineRequest request, std::function<void(const QString&)> inviteCode) {
    if (refusedOnline() || editor_) return;
    if (request.name.isEmpty()) request.name = kept_.onlineName();
    if (request.name.isEmpty()) request.name = QStringLiteral("ZUBEKI");
    if (!online_) {
        OnlineHost host{game_,
                        [this](const std::string& text, const std::string& title, Buttons b) {
                            return message(text, title, b);
                        },
                        [this] { return folder_; },
                        [this] {
                            canvas_->update();
                            if (Drive1) refreshFileList();
                        },
                        this};
        online_ = std::make_unique<OnlinePlay>(std::move(host));
    }
    closeReview();
    online_->setInviteCodeListener(std::move(inviteCode));
    online_->start(request);
}

bool Form1::refusedOnline() {
    if (!online_ || !online_->active()) return false;
    message("通信対局の間はできません", "通信対局");
    return true;
}

} // namespace zubeki
