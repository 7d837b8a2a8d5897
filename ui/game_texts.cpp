#include "ui/game_texts.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace zubeki {

namespace {

constexpr const char* kContext = "Game";

// Whole texts: the boxes' words and titles, and the words drawn beside the board.
const char* const kTexts[] = {
    // turns, the end of a game, passes
    QT_TRANSLATE_NOOP("Game", "先手の番です"),
    QT_TRANSLATE_NOOP("Game", "あなたの番です"),
    QT_TRANSLATE_NOOP("Game", "引き分けです"),
    QT_TRANSLATE_NOOP("Game", "終了"),
    QT_TRANSLATE_NOOP("Game", "ｺﾝﾋﾟｭｰﾀの勝ちです"),
    QT_TRANSLATE_NOOP("Game", "先手の勝ちです"),
    QT_TRANSLATE_NOOP("Game", "後手の勝ちです"),
    QT_TRANSLATE_NOOP("Game", "MANの勝ちです"),
    QT_TRANSLATE_NOOP("Game", "続けますか？"),
    QT_TRANSLATE_NOOP("Game", "再ゲーム"),
    QT_TRANSLATE_NOOP("Game", "あなたはパスです"),
    QT_TRANSLATE_NOOP("Game", "パスします"),
    // a game online
    QT_TRANSLATE_NOOP("Game", "名前は1文字から32文字で入れてください"),
    QT_TRANSLATE_NOOP("Game", "通信対局"),
    QT_TRANSLATE_NOOP("Game", "サーバのアドレスが正しくありません"),
    QT_TRANSLATE_NOOP("Game", "このコンピュータでサーバを始められませんでした"),
    QT_TRANSLATE_NOOP("Game", "相手から引き分けの申し出です。受けますか？"),
    QT_TRANSLATE_NOOP("Game", "引分提案"),
    QT_TRANSLATE_NOOP("Game", "引き分けの申し出は断られました"),
    QT_TRANSLATE_NOOP("Game", "サーバが受け付けませんでした"),
    QT_TRANSLATE_NOOP("Game", "相手が戻るのを待つ時間がまだ過ぎていません"),
    QT_TRANSLATE_NOOP("Game", "勝ちを申請"),
    QT_TRANSLATE_NOOP("Game", "対局を始めます。あなたは下手です"),
    QT_TRANSLATE_NOOP("Game", "対局を始めます。あなたは上手です"),
    QT_TRANSLATE_NOOP("Game", "対局は中止になりました"),
    QT_TRANSLATE_NOOP("Game", "あなたの勝ちです"),
    QT_TRANSLATE_NOOP("Game", "あなたの負けです"),
    QT_TRANSLATE_NOOP("Game", "囲んで勝ち"),
    QT_TRANSLATE_NOOP("Game", "敵陣を埋めて勝ち"),
    QT_TRANSLATE_NOOP("Game", "二回続けてパス"),
    QT_TRANSLATE_NOOP("Game", "投了"),
    QT_TRANSLATE_NOOP("Game", "合意の引き分け"),
    QT_TRANSLATE_NOOP("Game", "時間切れ"),
    QT_TRANSLATE_NOOP("Game", "相手の切断"),
    QT_TRANSLATE_NOOP("Game", "中止"),
    QT_TRANSLATE_NOOP("Game", "サーバにつながりません"),
    QT_TRANSLATE_NOOP("Game", "対局に入れませんでした"),
    QT_TRANSLATE_NOOP("Game", "投了しますか？"),
    QT_TRANSLATE_NOOP("Game", "通信対局の間はできません"),
    QT_TRANSLATE_NOOP("Game", "相手はパスです"),
    QT_TRANSLATE_NOOP("Game", "パス"),
    QT_TRANSLATE_NOOP("Game", "思考中"),
    // refusals and notices of play
    QT_TRANSLATE_NOOP("Game", "「対局」で始めて下さい"),
    QT_TRANSLATE_NOOP("Game", "開始"),
    QT_TRANSLATE_NOOP("Game", "指せる手がありません"),
    QT_TRANSLATE_NOOP("Game", "ヒント"),
    QT_TRANSLATE_NOOP("Game", "検討する手がありません"),
    QT_TRANSLATE_NOOP("Game", "この棋譜は検討できません"),
    QT_TRANSLATE_NOOP("Game", "検討"),
    QT_TRANSLATE_NOOP("Game", "チェック駒を動かしてください"),
    QT_TRANSLATE_NOOP("Game", "注意"),
    QT_TRANSLATE_NOOP("Game", "OKですか？"),
    QT_TRANSLATE_NOOP("Game", "再開"),
    QT_TRANSLATE_NOOP("Game", "500手から先の手は記録されていないのでできません"),
    QT_TRANSLATE_NOOP("Game", "できません"),
    QT_TRANSLATE_NOOP("Game", "戻る"),
    QT_TRANSLATE_NOOP("Game", "終わり"),
    QT_TRANSLATE_NOOP("Game", "進む"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾓｰﾄﾞではできません"),
    QT_TRANSLATE_NOOP("Game", "最初からはできません"),
    QT_TRANSLATE_NOOP("Game", "反転"),
    QT_TRANSLATE_NOOP("Game", "コンピュータとの対局でだけできます"),
    QT_TRANSLATE_NOOP("Game", "待った"),
    // a set-up position: its side to move, the editor's reasons, the paste
    QT_TRANSLATE_NOOP("Game", "後手の番です"),
    QT_TRANSLATE_NOOP("Game", "この局面は下手の番です。「先手」で始めて下さい"),
    QT_TRANSLATE_NOOP("Game", "この局面は上手の番です。「後手」で始めて下さい"),
    QT_TRANSLATE_NOOP("Game", "駒が９枚より多い側があります"),
    QT_TRANSLATE_NOOP("Game", "成った駒が自陣の中にあります（自陣には止まれません）"),
    QT_TRANSLATE_NOOP("Game", "敵陣がもう埋まっています（対局は終わっています）"),
    QT_TRANSLATE_NOOP("Game", "空いた隣のマスがない駒の一団があります"),
    QT_TRANSLATE_NOOP("Game", "どちらの側にも指せる手がありません"),
    QT_TRANSLATE_NOOP("Game", "この局面で始められます"),
    QT_TRANSLATE_NOOP("Game", "編集"),
    QT_TRANSLATE_NOOP("Game", "貼り付ける局面がありません"),
    QT_TRANSLATE_NOOP("Game", "局面を貼り付け"),
    // records
    QT_TRANSLATE_NOOP("Game", "棋譜"),
    QT_TRANSLATE_NOOP("Game", "棋譜は500手までです。これから先の手は記録されません"),
    QT_TRANSLATE_NOOP("Game", "棋譜を '進 'で進めて下さい"),
    QT_TRANSLATE_NOOP("Game", "ﾃﾞﾊﾞｲｽが準備できていません"),
    QT_TRANSLATE_NOOP("Game", "ｴﾗｰ"),
    QT_TRANSLATE_NOOP("Game", "反転後は書き込みできません"),
    QT_TRANSLATE_NOOP("Game", "棋譜書込"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙにﾃﾞｰﾀがありません"),
    QT_TRANSLATE_NOOP("Game", " 読み込みました"),
    QT_TRANSLATE_NOOP("Game", "ﾌｧｲﾙ名が入力されていません"),
    QT_TRANSLATE_NOOP("Game", "保存するデータがありません"),
    QT_TRANSLATE_NOOP("Game", "棋譜保存"),
    QT_TRANSLATE_NOOP("Game", "棋譜を書き込みました"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙに書けない文字を '?' にしました"),
    // why a record file could not be read or written
    QT_TRANSLATE_NOOP("Game", "読み込みが許可されていません"),
    QT_TRANSLATE_NOOP("Game", "書き込みが許可されていません"),
    QT_TRANSLATE_NOOP("Game", "書き込み禁止の媒体です"),
    QT_TRANSLATE_NOOP("Game", "ﾃﾞｨｽｸがいっぱいです"),
    QT_TRANSLATE_NOOP("Game", "ﾌｧｲﾙが見つかりません"),
    QT_TRANSLATE_NOOP("Game", "ﾌｫﾙﾀﾞが見つかりません"),
    QT_TRANSLATE_NOOP("Game", "ﾌｧｲﾙではなくﾌｫﾙﾀﾞです"),
    QT_TRANSLATE_NOOP("Game", "同じ名前のﾌｫﾙﾀﾞがあります"),
    QT_TRANSLATE_NOOP("Game", "ﾌｧｲﾙ名が長すぎます"),
    QT_TRANSLATE_NOOP("Game", "ﾌｧｲﾙ名に使えない文字があります"),
    QT_TRANSLATE_NOOP("Game", "ﾃﾞﾊﾞｲｽのｴﾗｰです"),
    QT_TRANSLATE_NOOP("Game", "普通のﾌｧｲﾙではありません"),
    QT_TRANSLATE_NOOP("Game", "手順が正しくありません"),
    QT_TRANSLATE_NOOP("Game", "名前が長すぎます"),
    // the sound module
    QT_TRANSLATE_NOOP("Game", "Direct Soundインターフェースが作成できません。"),
    // the version box, a line at a time
    QT_TRANSLATE_NOOP("Game", "ZUBEKI  Version 0.94    [12/1999]"),
    QT_TRANSLATE_NOOP("Game", "      The ZUBEKI project"),
    QT_TRANSLATE_NOOP("Game", "Home page"),
    QT_TRANSLATE_NOOP("Game", "e-mail"),
};

// Templates, most specific first: %1, %2 stand for a number, a size, a character, the
// system's reason or another of the game's texts.
const char* const kTemplates[] = {
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙの %1 行目が長すぎます"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙの %1 行目に文字でないﾃﾞｰﾀがあります"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙの %1 行目（%2 手目）が空です"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙの %1 行目（%2 手目）が正しくありません"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙの %1 手目から後は読み込みませんでした"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙが大きすぎます（読み込めるのは %1 までです）"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙが大きすぎます（%1。読み込めるのは %2 までです）"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙを開けませんでした：%1"),
    QT_TRANSLATE_NOOP("Game", "棋譜ﾌｧｲﾙを読み込めませんでした：%1"),
    QT_TRANSLATE_NOOP("Game", "棋譜を書き込めませんでした：%1"),
    QT_TRANSLATE_NOOP("Game", "%1 手目が正しくありません"),
    QT_TRANSLATE_NOOP("Game", "ﾌｧｲﾙ名に '%1' は使えません"),
    QT_TRANSLATE_NOOP("Game", "ｴﾗｰ %1（%2）"),
    QT_TRANSLATE_NOOP("Game", "局面を貼り付けられません：%1"),
};

QString translated(const char* source) {
    return QCoreApplication::translate(kContext, source);
}

// A template as a pattern over a whole text: its words literally, each %N a value.
struct Template {
    const char* source;
    QRegularExpression pattern;
    std::vector<int> order; // the N of each value, in the order the values stand
};

const std::vector<Template>& templates() {
    static const std::vector<Template> all = [] {
        std::vector<Template> out;
        static const QRegularExpression marker(QStringLiteral("%(\\d)"));
        for (const char* source : kTemplates) {
            const QString text = QString::fromUtf8(source);
            QString pattern;
            std::vector<int> order;
            qsizetype at = 0;
            for (auto it = marker.globalMatch(text); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                pattern += QRegularExpression::escape(text.mid(at, m.capturedStart() - at));
                pattern += QStringLiteral("(.+?)");
                order.push_back(m.captured(1).toInt());
                at = m.capturedEnd();
            }
            pattern += QRegularExpression::escape(text.mid(at));
            out.push_back({source,
                           QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                                              QRegularExpression::DotMatchesEverythingOption),
                           order});
        }
        return out;
    }();
    return all;
}

QString shownText(const QString& text) {
    // A box of several lines (the version box) is translated a line at a time.
    if (text.contains(QLatin1Char('\r'))) {
        QStringList lines = text.split(QLatin1Char('\r'));
        for (QString& line : lines) line = shownText(line);
        return lines.join(QLatin1Char('\r'));
    }
    const QByteArray utf8 = text.toUtf8();
    const QString whole = translated(utf8.constData());
    if (whole != text) return whole;
    for (const Template& t : templates()) {
        const QRegularExpressionMatch m = t.pattern.match(text);
        if (!m.hasMatch()) continue;
        QString out = translated(t.source);
        // Untranslated (the game speaks Japanese): the text stands as it came.
        if (out == QString::fromUtf8(t.source)) return text;
        // The values by their number, put in at once so a value holding "%2" stays as it is.
        QString values[2];
        for (std::size_t i = 0; i < t.order.size(); ++i)
            values[t.order[i] - 1] = shownText(m.captured(static_cast<int>(i) + 1));
        out = t.order.size() == 1 ? out.arg(values[0]) : out.arg(values[0], values[1]);
        return out;
    }
    return text;
}

} // namespace

QString shownText(std::string_view text) {
    return shownText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

const std::vector<const char*>& gameTextSources() {
    static const std::vector<const char*> all = [] {
        std::vector<const char*> out(std::begin(kTexts), std::end(kTexts));
        for (const char* t : kTemplates) out.push_back(t);
        return out;
    }();
    return all;
}

} // namespace zubeki
