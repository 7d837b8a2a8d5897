#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

class QSettings;

namespace zubeki {

// Where a window stood when the player last closed it: the place and size of its inside (the
// frame is the desktop's), and whether it filled the screen.
struct KeptPlace {
    QPoint position;
    QSize size;
    bool maximized = false;
};

// The player's choices kept from one run to the next: the level, move guidance, the music, the
// language chosen, where the window and the review window stood, and the record panel's folder.
// Without a store nothing is kept and every choice reads as on a first run, which is what a
// window made in a test keeps unless it hands in a file of its own.
class KeptSettings {
  public:
    explicit KeptSettings(std::unique_ptr<QSettings> store = nullptr);
    ~KeptSettings();
    KeptSettings(KeptSettings&&) noexcept;
    KeptSettings& operator=(KeptSettings&&) noexcept;

    int level() const; // 1..4; 3 on a first run
    bool guidance() const;
    bool music() const;
    QString language() const; // "ja", "en"; empty: the system's
    QString folder() const;   // empty: the folder the game starts in
    QString onlineName() const;
    QString onlineServer() const; // the address last typed for 通信対局
    // A window's place, only when it would stand on one of the screens there are now.
    std::optional<KeptPlace> windowPlace() const;
    std::optional<KeptPlace> reviewPlace() const;

    void setLevel(int level);
    void setGuidance(bool on);
    void setMusic(bool on);
    void setLanguage(const QString& language);
    void setFolder(const QString& folder);
    void setOnline(const QString& name, const QString& server);
    void setWindowPlace(const KeptPlace& place);
    void setReviewPlace(const KeptPlace& place);
    // Every choice forgotten: the next run is a first run again.
    void forget();

  private:
    QVariant read(const char* key, const QVariant& otherwise) const;
    void write(const char* key, const QVariant& value);
    std::optional<KeptPlace> place(const char* group) const;
    void setPlace(const char* group, const KeptPlace& place);

    std::unique_ptr<QSettings> store_;
};

// Does a window at `place` stand on a screen now: is the middle of its title on one?
bool onAScreen(const QRect& place);

// The game's settings in the platform's own place (the registry, a property list, or
// ~/.config/zubeki/zubeki.conf).
std::unique_ptr<QSettings> nativeSettings();

} // namespace zubeki
