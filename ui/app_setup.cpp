#include "ui/app_setup.h"

#include "ui/form1.h"

#include <QApplication>
#include <QLibraryInfo>
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
    installJapaneseTranslation(app);
    Form1 form;
    form.Form_Load();
    form.show();
    return app.exec();
}

} // namespace zubeki
