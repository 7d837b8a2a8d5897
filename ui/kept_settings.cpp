#include "ui/kept_settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace zubeki {

KeptSettings::KeptSettings(std::unique_ptr<QSettings> store) : store_(std::move(store)) {}
KeptSettings::~KeptSettings() = default;
KeptSettings::KeptSettings(KeptSettings&&) noexcept = default;
KeptSettings& KeptSettings::operator=(KeptSettings&&) noexcept = default;

QVariant KeptSettings::read(const char* key, const QVariant& otherwise) const {
    return store_ ? store_->value(QLatin1String(key), otherwise) : otherwise;
}

void KeptSettings::write(const char* key, const QVariant& value) {
    if (store_) store_->setValue(QLatin1String(key), value);
}

int KeptSettings::level() const {
    const int n = read("game/level", 3).toInt();
    return n >= 1 && n <= 4 ? n : 3;
}

bool KeptSettings::guidance() const {
    return read("options/guidance", true).toBool();
}

bool KeptSettings::music() const {
    return read("options/music", true).toBool();
}

QString KeptSettings::language() const {
    const QString language = read("language", QString()).toString();
    return language == QLatin1String("ja") || language == QLatin1String("en") ? language
                                                                              : QString();
}

QString KeptSettings::folder() const {
    return read("record/folder", QString()).toString();
}

QString KeptSettings::onlineName() const {
    return read("online/name", QString()).toString();
}

QString KeptSettings::onlineServer() const {
    return read("online/server", QString()).toString();
}

std::optional<KeptPlace> KeptSettings::place(const char* group) const {
    const QString g = QLatin1String(group);
    if (!store_ || !store_->contains(g + QLatin1String("/position"))) return std::nullopt;
    KeptPlace p{store_->value(g + QLatin1String("/position")).toPoint(),
                store_->value(g + QLatin1String("/size")).toSize(),
                store_->value(g + QLatin1String("/maximized"), false).toBool()};
    if (!p.size.isValid() || !onAScreen(QRect(p.position, p.size))) return std::nullopt;
    return p;
}

void KeptSettings::setPlace(const char* group, const KeptPlace& p) {
    if (!store_) return;
    const QString g = QLatin1String(group);
    store_->setValue(g + QLatin1String("/position"), p.position);
    store_->setValue(g + QLatin1String("/size"), p.size);
    store_->setValue(g + QLatin1String("/maximized"), p.maximized);
}

std::optional<KeptPlace> KeptSettings::windowPlace() const {
    return place("window");
}

std::optional<KeptPlace> KeptSettings::reviewPlace() const {
    return place("review");
}

void KeptSettings::setLevel(int level) {
    write("game/level", level);
}
void KeptSettings::setGuidance(bool on) {
    write("options/guidance", on);
}
void KeptSettings::setMusic(bool on) {
    write("options/music", on);
}
void KeptSettings::setLanguage(const QString& language) {
    write("language", language);
}
void KeptSettings::setFolder(const QString& folder) {
    write("record/folder", folder);
}
void KeptSettings::setOnline(const QString& name, const QString& server) {
    write("online/name", name);
    write("online/server", server);
}
void KeptSettings::setWindowPlace(const KeptPlace& place) {
    setPlace("window", place);
}
void KeptSettings::setReviewPlace(const KeptPlace& place) {
    setPlace("review", place);
}

void KeptSettings::forget() {
    if (store_) store_->clear();
}

bool onAScreen(const QRect& place) {
    // The title must be within reach to move the window: the middle of its top edge on a
    // screen, give or take the few pixels a frame may stand outside it.
    const QPoint title(place.center().x(), place.top() + 8);
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(title)) return true;
    return false;
}

std::unique_ptr<QSettings> nativeSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("zubeki"), QStringLiteral("zubeki"));
}

} // namespace zubeki
