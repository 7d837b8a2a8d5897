#include "play/events.h"

#include "game/notation.h"

namespace zubeki {

namespace {

struct Words {
    const char* text; // empty: the question's value is the text
    const char* title;
    Buttons buttons = Buttons::Ok;
};

Words wordsOf(Say what) {
    switch (what) {
    case Say::FirstPlayersTurn:
        return {"先手の番です", " "};
    case Say::YourTurn:
        return {"あなたの番です", " "};
    case Say::Drawn:
        return {"引き分けです", "終了"};
    case Say::Wins:
        return {"の勝ちです", "終了"};
    case Say::PlayAgain:
        return {"続けますか？", "再ゲーム", Buttons::YesNo};
    case Say::RecordFull:
        return {"棋譜は500手までです。これから先の手は記録されません", "棋譜"};
    case Say::YouPass:
        return {"あなたはパスです", "パス"};
    case Say::ComputerPasses:
        return {"パスします", "パス"};
    case Say::OpponentPasses:
        return {"相手はパスです", "パス"};
    case Say::StartFirst:
        return {"「対局」で始めて下さい", "開始"};
    case Say::NoMoveToHint:
        return {"指せる手がありません", "ヒント"};
    case Say::MoveACheckPiece:
        return {"チェック駒を動かしてください", "注意"};
    case Say::StepTheRecord:
        return {"棋譜を '進 'で進めて下さい", "棋譜", Buttons::YesNo};
    case Say::ResumeHere:
        return {"OKですか？", "再開"};
    case Say::UnrecordedBack:
        return {"500手から先の手は記録されていないのでできません", "戻る"};
    case Say::UnrecordedForward:
        return {"500手から先の手は記録されていないのでできません", "進む"};
    case Say::CannotBack:
        return {"できません", "戻る"};
    case Say::CannotForward:
        return {"できません", "進む"};
    case Say::RecordEnds:
        return {"終わり", "進む"};
    case Say::NotInRecordMode:
        return {"棋譜ﾓｰﾄﾞではできません", "反転"};
    case Say::NotFromTheStart:
        return {"最初からはできません", "反転"};
    case Say::Hint:
        return {"", "ヒント"};
    case Say::TakeBackComputerOnly:
        return {"コンピュータとの対局でだけできます", "待った"};
    case Say::CannotTakeBack:
        return {"できません", "待った"};
    case Say::SecondPlayersTurn:
        return {"後手の番です", " "};
    case Say::LowerToMove:
        return {"この局面は下手の番です。「先手」で始めて下さい", "開始"};
    case Say::UpperToMove:
        return {"この局面は上手の番です。「後手」で始めて下さい", "開始"};
    }
    return {"", ""};
}

} // namespace

std::string textOf(const Question& q) {
    // Only the winner's name and the hint's move come as values.
    return q.value + wordsOf(q.what).text;
}

std::string titleOf(const Question& q) {
    return wordsOf(q.what).title;
}

Buttons buttonsOf(const Question& q) {
    return wordsOf(q.what).buttons;
}

std::string ヒント表記(const Move& hint) {
    std::string text = squareNotation(hint.移動元X, hint.移動元Y);
    text += "の";
    text += notationGlyph(hint.移動前駒);
    text += "を";
    text += squareNotation(hint.移動先X, hint.移動先Y);
    text += "へ";
    if (hint.promotes()) {
        text += "（成）";
        text += '\r';
        text += "成るには右ボタンで指して下さい";
    }
    return text;
}

} // namespace zubeki
