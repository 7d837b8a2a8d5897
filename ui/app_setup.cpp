#include "ui/app_setup.h"

#include "ui/form1.h"
#include "view/startup_trace.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

namespace zubeki {

void installJapaneseTranslation(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_ja"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
}

int runGame(QApplication& app) {
    startupMark("qt");
    installJapaneseTranslation(app);
    startupMark("translation");
    Form1 form;
    startupMark("window");
    form.Form_Load();
    startupMark("loaded");
    form.show();
    // A record named on the command line (a file manager opening a record) is read once
    // the window stands.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) {
        const QString record = arguments.at(1);
        QTimer::singleShot(0, &form, [&form, record] { form.openRecord(record); });
    }
    return app.exec();
}

} // namespace zubeki
