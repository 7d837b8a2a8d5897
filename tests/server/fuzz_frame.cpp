// The frame reader under libFuzzer: any bytes a player may send are read without a crash, a
// frame it takes is one of the known kinds, and a move it takes goes through the game's rules.

#include "server/game.h"
#include "server/protocol.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {
struct StillClock final : zubeki::server::Clock {
    std::int64_t nowMs() const override { return 0; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zubeki;
    const QByteArrayView frame(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const protocol::Read read = protocol::readClientMessage(frame);
    if (read.message.has_value() == !read.code.isEmpty()) std::abort();
    if (!read.message) return 0;
    const protocol::ClientMessage& m = *read.message;
    if (m.kind == protocol::ClientMessage::Kind::Hello && !protocol::validName(m.name))
        std::abort();
    if (m.kind == protocol::ClientMessage::Kind::Create && !m.position.isEmpty()) {
        std::string why;
        (void)Position::fromText(m.position.toStdString(), why);
    }
    if (m.kind == protocol::ClientMessage::Kind::Move) {
        const StillClock clock;
        server::OnlineGame game(Position::start(), std::nullopt, clock);
        game.begin();
        const server::Outcome o = game.move(Side::Lower, m.move.toStdString());
        if (o.refusal == server::Refusal::None && game.moves().size() != 1) std::abort();
    }
    return 0;
}
