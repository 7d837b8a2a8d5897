#include "view/pictures.h"

#include "game/codes.h"
#include "play/display.h"

static void initPictureResources() {
    Q_INIT_RESOURCE(pictures);
    Q_INIT_RESOURCE(pictures_large);
}

namespace zubeki {

namespace {

Pictures loadFrom(const QString& folder) {
    initPictureResources();
    auto img = [&folder](const char* name) {
        return QImage(folder + QLatin1String(name)).convertToFormat(QImage::Format_RGB32);
    };
    Pictures p;
    p.KARA_MASU = img("kara_masu.png");
    p.UE_KAKU[0] = img("ue_kaku0.png");
    p.UE_KAKU[1] = img("ue_kaku1.png");
    p.UE_SYA[0] = img("ue_sya0.png");
    p.UE_SYA[1] = img("ue_sya1.png");
    p.SITA_KAKU[0] = img("sita_kaku0.png");
    p.SITA_KAKU[1] = img("sita_kaku1.png");
    p.SITA_SYA[0] = img("sita_sya0.png");
    p.SITA_SYA[1] = img("sita_sya1.png");
    p.PA = img("pa.png");
    p.JI_NAKA = img("ji_naka.png");
    p.TEKI_NAKA = img("teki_naka.png");
    p.ZUBEKI = img("zubeki.png");
    return p;
}

} // namespace

Pictures Pictures::load() {
    return loadFrom(QStringLiteral(":/pictures/"));
}

Pictures Pictures::loadLarge() {
    return loadFrom(QStringLiteral(":/pictures/large/"));
}

const QImage* Pictures::forCode(int code, QSize* naturalSize) const {
    *naturalSize = SQUARE_SIZE;
    switch (code) {
    case SITA_BISHOP:
        return &SITA_KAKU[0];
    case SITA_BISHOP_PROMOTED:
        return &SITA_KAKU[1];
    case SITA_ROOK:
        return &SITA_SYA[0];
    case SITA_ROOK_PROMOTED:
        return &SITA_SYA[1];
    case UE_BISHOP:
        return &UE_KAKU[0];
    case UE_BISHOP_PROMOTED:
        return &UE_KAKU[1];
    case UE_ROOK:
        return &UE_SYA[0];
    case UE_ROOK_PROMOTED:
        return &UE_SYA[1];
    case PIC_PA:
        return &PA;
    case PIC_JI_NAKA:
        return &JI_NAKA;
    case PIC_TEKI_NAKA:
        return &TEKI_NAKA;
    case PIC_LOGO:
        *naturalSize = LOGO_SIZE;
        return &ZUBEKI;
    default:
        return nullptr;
    }
}

} // namespace zubeki
