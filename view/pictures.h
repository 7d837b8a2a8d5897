#pragma once

#include <QImage>
#include <QSize>

namespace zubeki {

// The window's picture sources, made at twice their natural size (and at six times it, for a
// board that fills a large window).
struct Pictures {
    QImage KARA_MASU;
    QImage UE_KAKU[2];
    QImage UE_SYA[2];
    QImage SITA_KAKU[2];
    QImage SITA_SYA[2];
    QImage PA;
    QImage JI_NAKA;
    QImage TEKI_NAKA;
    QImage ZUBEKI;

    static constexpr QSize SQUARE_SIZE{33, 41};
    static constexpr QSize LOGO_SIZE{118, 39};

    static Pictures load();
    static Pictures loadLarge();
    // The picture for a piece or picture code (nullptr: nothing is drawn). Codes are
    // compared by value, so a code read back from a record selects the same picture.
    const QImage* forCode(int code, QSize* naturalSize) const;
};

} // namespace zubeki
