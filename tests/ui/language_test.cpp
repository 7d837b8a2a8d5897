// The window in English and in Japanese: the language each locale and --lang choose, the menus
// and boxes in that language, and a translation that covers every text the window can show.
#include "harness.h"
#include "ui/app_setup.h"
#include "ui/game_texts.h"

#include "ui/review_window.h"

#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>
#include <QTreeWidget>
#include <QXmlStreamReader>

using namespace zubeki;
using namespace zubeki::uitest;

namespace {

// Kana, kanji, full-width and half-width forms: anything a player without Japanese cannot read.
bool hasJapanese(const QString& text) {
    static const QRegularExpression japanese(
        QStringLiteral("[\\x{3000}-\\x{30FF}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
    return text.contains(japanese);
}

void speak(Language language) {
    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    installTranslations(*qApp, language);
}

struct Source {
    QString context, source, translation;
    bool finished = true;
};

// Every message of the English translation file.
std::vector<Source> translationFile() {
    QFile file(QStringLiteral(ZUBEKI_SOURCE_DIR "/i18n/zubeki_en.ts"));
    if (!file.open(QIODevice::ReadOnly)) qFatal("no translation file");
    std::vector<Source> out;
    QString context;
    for (QXmlStreamReader xml(&file); !xml.atEnd();) {
        if (!xml.readNextStartElement()) continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) context = xml.readElementText();
        if (name == QLatin1String("source")) out.push_back({context, xml.readElementText(), {}});
        if (name == QLatin1String("translation") || name == QLatin1String("numerusform")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            out.back().finished &= type.isEmpty() && !text.trimmed().isEmpty();
            out.back().translation += text;
        }
    }
    return out;
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT
  private slots:
    void localesAndTheCommandLineChoose();
    void menusAndBoxesSpeakTheLanguage();
    void everyTranslationIsFinished();
    void everyTextShownHasATranslation();
    void theGameSpeaksJapaneseInEveryLayerItHasWords();
    void aSessionSpeaksOneLanguageThroughout();
    void theRecordCaptionsFitTheirText();
};

void LanguageTest::localesAndTheCommandLineChoose() {
    const struct {
        const char* asked;
        QLocale system;
        Language expected;
    } cases[] = {
        {"", QLocale(QLocale::Japanese, QLocale::Japan), Language::Japanese},
        {"", QLocale::c(), Language::Japanese},
        {"", QLocale(QStringLiteral("POSIX")), Language::Japanese},
        {"", QLocale(QLocale::English, QLocale::UnitedStates), Language::English},
        {"", QLocale(QLocale::French, QLocale::France), Language::English},
        {"en", QLocale(QLocale::Japanese, QLocale::Japan), Language::English},
        {"ja", QLocale(QLocale::English, QLocale::UnitedKingdom), Language::Japanese},
    };
    for (const auto& c : cases)
        QVERIFY2(chooseLanguage(c.asked, c.system) == c.expected,
                 qPrintable(c.system.name() + QLatin1Char(' ') + QLatin1String(c.asked)));
}

void LanguageTest::menusAndBoxesSpeakTheLanguage() {
    const struct {
        Language language;
        QStringList captions; // the bar's eight items in order
        QStringList refusals; // 進 with nothing to step to, then 戻
    } cases[] = {
        {Language::Japanese,
         {"対局", "局面", "戻", "進", "棋譜", "ｵﾌﾟｼｮﾝ", "その他", "ヘルプ"},
         {"できません | 進む | OK", "できません | 戻る | OK"}},
        {Language::English,
         {"&Game", "&Position", "&Back", "&Forward", "&Record", "&Options", "&About...", "&Help"},
         {"Not possible | Forward | OK", "Not possible | Back | OK"}},
    };
    for (const auto& c : cases) {
        speak(c.language);
        Harness h;
        QStringList captions;
        for (QAction* a : h.f().menuBar()->actions()) captions << a->text();
        QCOMPARE(captions, c.captions);
        h.forget();
        h.action("AFTER")->trigger();
        h.action("REPLAY")->trigger();
        QCOMPARE(h.shown(), c.refusals);
    }
    speak(Language::Japanese);
}

void LanguageTest::everyTranslationIsFinished() {
    static const QRegularExpression marker(QStringLiteral("%\\d"));
    const std::vector<Source> all = translationFile();
    QVERIFY(all.size() > 100);
    for (const Source& s : all) {
        const QString what = s.context + QLatin1Char(' ') + s.source;
        QVERIFY2(s.finished, qPrintable(what));
        QVERIFY2(!hasJapanese(s.translation), qPrintable(what));
        QStringList want, got;
        for (auto it = marker.globalMatch(s.source); it.hasNext();) want << it.next().captured();
        for (auto it = marker.globalMatch(s.translation); it.hasNext();)
            got << it.next().captured();
        want.sort();
        got.sort();
        QVERIFY2(want == got, qPrintable(what)); // every value finds its place
    }
}

void LanguageTest::everyTextShownHasATranslation() {
    speak(Language::English);
    for (const char* text : gameTextSources()) QVERIFY2(!hasJapanese(shownText(text)), text);
    // Composed texts: the values go into the translated template, themselves translated.
    const struct {
        const char* japanese;
        const char* english;
    } composed[] = {
        {"棋譜ﾌｧｲﾙの 12 行目（7 手目）が正しくありません",
         "Line 12 of the record file (move 7) is not a move"},
        {"棋譜を書き込めませんでした：ﾃﾞｨｽｸがいっぱいです",
         "The record could not be saved: The disk is full"},
        {"棋譜ﾌｧｲﾙが大きすぎます（300 KB。読み込めるのは 256 KB までです）",
         "The record file is too large (300 KB; at most 256 KB can be read)"},
        {"ﾌｧｲﾙ名に '%2' は使えません", "A file name cannot hold '%2'"},
        {"３四角", "３四角"}, // a move in the board's notation stays as it is
    };
    for (const auto& c : composed) QCOMPARE(shownText(c.japanese), QString::fromUtf8(c.english));
    // Every caption of the window: menus, items and the record panel.
    Harness h;
    QStringList shown;
    for (QAction* a : h.f().findChildren<QAction*>()) shown << a->text();
    for (QLabel* l : h.f().findChildren<QLabel*>()) shown << l->text();
    for (QPushButton* b : h.f().findChildren<QPushButton*>()) shown << b->text();
    for (const QString& s : shown) QVERIFY2(!hasJapanese(s), qPrintable(s));
    speak(Language::Japanese);
}

void LanguageTest::theGameSpeaksJapaneseInEveryLayerItHasWords() {
    // Every Japanese word in the string literals of the layers whose texts reach a box must be
    // part of a text the translation knows: a new message fails here until it is translated.
    QStringList known;
    for (const Source& s : translationFile()) known << s.source;
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    const QDir root(QStringLiteral(ZUBEKI_SOURCE_DIR));
    QStringList files;
    for (const char* layer : {"play", "record", "sound", "ui"})
        for (const QString& f : QDir(root.filePath(QLatin1String(layer)))
                                    .entryList({QStringLiteral("*.cpp"), QStringLiteral("*.h")}))
            files << QLatin1String(layer) + QLatin1Char('/') + f;
    for (const QString& name : files) {
        QFile file(root.filePath(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(name));
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
            if (line.trimmed().startsWith(QLatin1String("//"))) continue;
            for (auto it = literal.globalMatch(line); it.hasNext();) {
                const QString words = it.next().captured(1);
                // File names stay as they are in every language.
                if (!hasJapanese(words) || words.endsWith(QLatin1String(".wav")) ||
                    words == QStringLiteral(".棋譜"))
                    continue;
                const bool part = std::any_of(known.begin(), known.end(),
                                              [&](const QString& k) { return k.contains(words); });
                QVERIFY2(part, qPrintable(name + QLatin1String(": ") + words));
            }
        }
    }
}

namespace {

// What a text holds besides the board's own notation and the pieces' names ("７七", "角成"),
// which stay as the board writes them in every language.
QString withoutTheBoardsWords(QString text) {
    static const QRegularExpression board(
        QStringLiteral("[１-９][一二三四五六七八九]|[角飛]成?|[☗☖]"));
    return text.remove(board);
}

// Every text the window and its 検討 window show: items, captions, buttons, titles, headers,
// rows and the graph's axes.
QStringList textsOnShow(Form1& f) {
    QStringList out;
    for (QAction* a : f.findChildren<QAction*>()) out << a->text() << a->toolTip();
    for (QLabel* l : f.findChildren<QLabel*>()) out << l->text();
    for (QPushButton* b : f.findChildren<QPushButton*>()) out << b->text();
    for (QTreeWidget* t : f.findChildren<QTreeWidget*>()) {
        for (int c = 0; c < t->columnCount(); ++c) out << t->headerItem()->text(c);
        for (int i = 0; i < t->topLevelItemCount(); ++i)
            for (int c = 0; c < t->columnCount(); ++c) out << t->topLevelItem(i)->text(c);
    }
    for (QChartView* v : f.findChildren<QChartView*>())
        for (QAbstractAxis* axis : v->chart()->axes()) out << axis->titleText();
    for (QWidget* w : f.findChildren<QWidget*>())
        if (w->isWindow()) out << w->windowTitle();
    return out;
}

} // namespace

void LanguageTest::aSessionSpeaksOneLanguageThroughout() {
    // A session as a new player tries it: a game, a hint, 戻 and 進 beyond the list, the record
    // panel, the version box and the 検討 window.
    const struct {
        Language language;
        const char* hint;        // the hint's box: text | title
        const char* reviewTitle; // the 検討 window
    } cases[] = {
        {Language::Japanese,
         "^[１-９][一二三四五六七八九]の[角飛]成?を[１-９][一二三四五六七八九]へ \\| ヒント \\| "
         "OK$",
         "検討"},
        {Language::English,
         "^Move the [角飛]成? on [１-９][一二三四五六七八九] to [１-９][一二三四五六七八九] \\| "
         "Hint \\| OK$",
         "Review"},
    };
    const Step moves[] = {{1, 7, 1, 6}, {9, 3, 9, 4}, {1, 6, 1, 5}};
    for (const auto& c : cases) {
        speak(c.language);
        Harness h;
        h.f().game().setBudget(ThinkBudget{1000, 20000, false});
        h.f().setReviewBudget(ThinkBudget{1000, 2000, true, 1});
        h.action("START")->trigger();
        for (const Step& m : moves) h.move(m.fx, m.fy, m.tx, m.ty);
        h.forget();
        h.action("HINT")->trigger();
        QCOMPARE(h.shown().size(), 1);
        QVERIFY2(h.shown().front().contains(QRegularExpression(QString::fromUtf8(c.hint))),
                 qPrintable(h.shown().front()));
        h.action("KENTOU")->trigger();
        ReviewWindow* review = h.f().reviewWindow();
        QVERIFY(review != nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!review->running(), 60000);
        QCOMPARE(review->windowTitle(), QString::fromUtf8(c.reviewTitle));
        for (const char* item : {"AFTER", "REPLAY", "CANCEL", "KIFU_READ", "KIFU_WRITE", "VER"})
            h.action(item)->trigger();
        if (c.language != Language::English) continue;
        QStringList shown = textsOnShow(h.f());
        for (const Message& m : h.messages) shown << m.text << m.title;
        for (const QString& text : shown)
            QVERIFY2(!hasJapanese(withoutTheBoardsWords(text)), qPrintable(text));
    }
    speak(Language::Japanese);
}

void LanguageTest::theRecordCaptionsFitTheirText() {
    // Each caption of the record panel shows whole before its field; in Japanese the panel
    // stands exactly as the board's twips place it.
    for (const Language language : {Language::Japanese, Language::English}) {
        speak(language);
        Harness h;
        h.action("KIFU_WRITE")->trigger();
        const QList<QLabel*> captions = childrenNamed<QLabel>(h.f(), "Label1");
        const std::array<QLineEdit*, 4> fields = {
            h.widget<QLineEdit>("Text1"), h.widget<QLineEdit>("Text4"),
            h.widget<QLineEdit>("Text3"), h.widget<QLineEdit>("Text2")};
        for (int i = 0; i < 4; ++i) {
            const QLabel* label = captions[i];
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(label->x() + needed < fields[i]->x(), qPrintable(label->text()));
            QCOMPARE(fields[i]->geometry().right(), 3255 / 15 - 1);
            if (language == Language::Japanese) {
                QCOMPARE(label->geometry(), QRect(8, captions[i]->y(), 57, 17));
                QCOMPARE(fields[i]->geometry().left(), 64);
            }
        }
    }
    speak(Language::Japanese);
}

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
