#include "ui/app_setup.h"

#include "ui/form1.h"
#include "ui/kept_settings.h"
#include "view/startup_trace.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSettings>
#include <QTimer>
#include <QTranslator>
#include <cstdio>

namespace zubeki {

Language chooseLanguage(std::string_view asked, const QLocale& system) {
    if (asked == "ja") return Language::Japanese;
    if (asked == "en") return Language::English;
    const QLocale::Language spoken = system.language();
    return spoken == QLocale::Japanese || spoken == QLocale::C ? Language::Japanese
                                                               : Language::English;
}

void installTranslations(QApplication& app, Language language) {
    auto* translator = new QTranslator(&app);
    const bool loaded = language == Language::Japanese
                            ? translator->load(QStringLiteral("qtbase_ja"),
                                               QLibraryInfo::path(QLibraryInfo::TranslationsPath))
                            : translator->load(QStringLiteral(":/i18n/zubeki_en.qm"));
    if (loaded)
        QApplication::installTranslator(translator);
    else
        delete translator;
}

namespace {

// The language to speak: the one asked for, which is then kept, else the one kept.
std::string keptLanguage(std::string_view asked, bool resetSettings) {
    KeptSettings kept(nativeSettings());
    if (resetSettings) kept.forget();
    if (!asked.empty())
        kept.setLanguage(QString::fromLatin1(asked.data(), static_cast<qsizetype>(asked.size())));
    return asked.empty() ? kept.language().toStdString() : std::string(asked);
}

} // namespace

int runGame(QApplication& app, std::string_view language, bool resetSettings,
            const OnlineAtStart& online) {
    startupMark("qt");
    const std::string spoken = keptLanguage(language, resetSettings);
    installTranslations(app, chooseLanguage(spoken, QLocale::system()));
    startupMark("translation");
    Seams seams;
    seams.settings = nativeSettings;
    Form1 form(std::move(seams));
    startupMark("window");
    form.loadBeforeSound();
    startupMark("loaded");
    form.show();
    // A record named on the command line (a file manager opening a record) is read once
    // the window stands.
    if (!online.server.empty())
        QTimer::singleShot(0, &form, [&form, online] {
            OnlineRequest r;
            r.create = online.create;
            r.server = QString::fromStdString(online.server);
            r.code = QString::fromStdString(online.code);
            r.name = QString::fromStdString(online.name);
            if (!online.side.empty()) r.side = QString::fromStdString(online.side);
            form.startOnline(r, [](const QString& code) {
                std::printf("zubeki: invitation code %s\n", qPrintable(code));
                std::fflush(stdout);
            });
        });
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        const QString record = arguments.at(1);
        QTimer::singleShot(0, &form, [&form, record] { form.openRecord(record); });
    }
    return app.exec();
}

} // namespace zubeki
