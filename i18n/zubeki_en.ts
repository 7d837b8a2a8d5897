<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>BoardView</name>
    <message numerus="yes">
        <source>手目</source>
        <translation>
            <numerusform>move</numerusform>
            <numerusform>moves</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>通信対局</source>
        <translation>&amp;Online</translation>
    </message>
    <message>
        <source>作成</source>
        <translation>&amp;Create...</translation>
    </message>
    <message>
        <source>参加</source>
        <translation>&amp;Join...</translation>
    </message>
    <message>
        <source>対局</source>
        <translation>&amp;Game</translation>
    </message>
    <message>
        <source>対局(人間)</source>
        <translation>&amp;Two Players</translation>
    </message>
    <message>
        <source>スタート</source>
        <translation>&amp;Start</translation>
    </message>
    <message>
        <source>対局(COM)</source>
        <translation>Against the &amp;Computer</translation>
    </message>
    <message>
        <source>先手</source>
        <translation>You Move &amp;First</translation>
    </message>
    <message>
        <source>後手</source>
        <translation>You Move &amp;Second</translation>
    </message>
    <message>
        <source>COM対局ﾚﾍﾞﾙ</source>
        <translation>Computer &amp;Level</translation>
    </message>
    <message>
        <source>LEVEL1</source>
        <translation>Level &amp;1</translation>
    </message>
    <message>
        <source>LEVEL2</source>
        <translation>Level &amp;2</translation>
    </message>
    <message>
        <source>LEVEL3</source>
        <translation>Level &amp;3</translation>
    </message>
    <message>
        <source>LEVEL4</source>
        <translation>Level &amp;4</translation>
    </message>
    <message>
        <source>終わり</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>局面</source>
        <translation>&amp;Position</translation>
    </message>
    <message>
        <source>最初</source>
        <translation>To the &amp;Start</translation>
    </message>
    <message>
        <source>反転</source>
        <translation>&amp;Turn the Board</translation>
    </message>
    <message>
        <source>戻</source>
        <translation>&amp;Back</translation>
    </message>
    <message>
        <source>進</source>
        <translation>&amp;Forward</translation>
    </message>
    <message>
        <source>棋譜</source>
        <translation>&amp;Record</translation>
    </message>
    <message>
        <source>読込</source>
        <translation>&amp;Open...</translation>
    </message>
    <message>
        <source>書込</source>
        <translation>&amp;Save...</translation>
    </message>
    <message>
        <source>検討</source>
        <translation>Re&amp;view...</translation>
    </message>
    <message>
        <source>ｵﾌﾟｼｮﾝ</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>移動指導</source>
        <translation>Show &amp;Moves</translation>
    </message>
    <message>
        <source>BGM</source>
        <translation>&amp;Music</translation>
    </message>
    <message>
        <source>ヒント</source>
        <translation>&amp;Hint</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>&amp;About...</translation>
    </message>
    <message>
        <source>%1の%2を%3へ</source>
        <translation>Move the %2 on %1 to %3</translation>
    </message>
    <message>
        <source>（成）</source>
        <translation> and promote</translation>
    </message>
    <message>
        <source>成るには右ボタンで指して下さい</source>
        <translation>To promote, press the destination with the right mouse button.</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名 ：</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>後    手 ：</source>
        <translation>Second:</translation>
    </message>
    <message>
        <source>先    手 ：</source>
        <translation>First:</translation>
    </message>
    <message>
        <source>対 局 名：</source>
        <translation>Game name:</translation>
    </message>
    <message>
        <source>RETURN</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>待った</source>
        <translation>Take &amp;Back</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>遊び方</source>
        <translation>How to &amp;Play</translation>
    </message>
    <message>
        <source>編集</source>
        <translation>&amp;Edit Position</translation>
    </message>
    <message>
        <source>局面をコピー</source>
        <translation>&amp;Copy Position</translation>
    </message>
    <message>
        <source>局面を貼り付け</source>
        <translation>&amp;Paste Position</translation>
    </message>
</context>
<context>
    <name>Game</name>
    <message>
        <source>先手の番です</source>
        <translation>The first player moves</translation>
    </message>
    <message>
        <source>あなたの番です</source>
        <translation>Your move</translation>
    </message>
    <message>
        <source>引き分けです</source>
        <translation>The game is drawn</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Game over</translation>
    </message>
    <message>
        <source>ｺﾝﾋﾟｭｰﾀの勝ちです</source>
        <translation>The computer wins</translation>
    </message>
    <message>
        <source>先手の勝ちです</source>
        <translation>The first player wins</translation>
    </message>
    <message>
        <source>後手の勝ちです</source>
        <translation>The second player wins</translation>
    </message>
    <message>
        <source>MANの勝ちです</source>
        <translation>You win</translation>
    </message>
    <message>
        <source>続けますか？</source>
        <translation>Play again?</translation>
    </message>
    <message>
        <source>再ゲーム</source>
        <translation>New game</translation>
    </message>
    <message>
        <source>あなたはパスです</source>
        <translation>You have no move: you pass</translation>
    </message>
    <message>
        <source>パスします</source>
        <translation>The computer passes</translation>
    </message>
    <message>
        <source>相手はパスです</source>
        <translation>Your opponent has no move and passes</translation>
    </message>
    <message>
        <source>パス</source>
        <translation>Pass</translation>
    </message>
    <message>
        <source>思考中</source>
        <translation>Thinking</translation>
    </message>
    <message>
        <source>「対局」で始めて下さい</source>
        <translation>Start a game from the Game menu</translation>
    </message>
    <message>
        <source>開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>指せる手がありません</source>
        <translation>There is no move to play</translation>
    </message>
    <message>
        <source>ヒント</source>
        <translation>Hint</translation>
    </message>
    <message>
        <source>チェック駒を動かしてください</source>
        <translation>Move a piece in check</translation>
    </message>
    <message>
        <source>注意</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>OKですか？</source>
        <translation>Play on from here?</translation>
    </message>
    <message>
        <source>再開</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>500手から先の手は記録されていないのでできません</source>
        <translation>Not possible: the moves after the 500th were not recorded</translation>
    </message>
    <message>
        <source>できません</source>
        <translation>Not possible</translation>
    </message>
    <message>
        <source>戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>終わり</source>
        <translation>The end of the record</translation>
    </message>
    <message>
        <source>進む</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>棋譜ﾓｰﾄﾞではできません</source>
        <translation>Not possible while a record is shown</translation>
    </message>
    <message>
        <source>最初からはできません</source>
        <translation>Not possible before the first move</translation>
    </message>
    <message>
        <source>反転</source>
        <translation>Turn the board</translation>
    </message>
    <message>
        <source>棋譜</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>棋譜は500手までです。これから先の手は記録されません</source>
        <translation>A record holds 500 moves. The moves from here on are not recorded</translation>
    </message>
    <message>
        <source>棋譜を &apos;進 &apos;で進めて下さい</source>
        <translation>Step through the record with Forward</translation>
    </message>
    <message>
        <source>ﾃﾞﾊﾞｲｽが準備できていません</source>
        <translation>The drive is not ready</translation>
    </message>
    <message>
        <source>ｴﾗｰ</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>反転後は書き込みできません</source>
        <translation>A turned board cannot be saved</translation>
    </message>
    <message>
        <source>棋譜書込</source>
        <translation>Save record</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙにﾃﾞｰﾀがありません</source>
        <translation>The record file holds no moves</translation>
    </message>
    <message>
        <source> 読み込みました</source>
        <translation>Record read</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名が入力されていません</source>
        <translation>Enter a file name</translation>
    </message>
    <message>
        <source>保存するデータがありません</source>
        <translation>There are no moves to save</translation>
    </message>
    <message>
        <source>棋譜保存</source>
        <translation>Save record</translation>
    </message>
    <message>
        <source>棋譜を書き込みました</source>
        <translation>Record saved</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙに書けない文字を &apos;?&apos; にしました</source>
        <translation>Characters a record file cannot hold were written as &apos;?&apos;</translation>
    </message>
    <message>
        <source>読み込みが許可されていません</source>
        <translation>Reading is not permitted</translation>
    </message>
    <message>
        <source>書き込みが許可されていません</source>
        <translation>Writing is not permitted</translation>
    </message>
    <message>
        <source>書き込み禁止の媒体です</source>
        <translation>The medium is read-only</translation>
    </message>
    <message>
        <source>ﾃﾞｨｽｸがいっぱいです</source>
        <translation>The disk is full</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙが見つかりません</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>ﾌｫﾙﾀﾞが見つかりません</source>
        <translation>Folder not found</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙではなくﾌｫﾙﾀﾞです</source>
        <translation>That is a folder, not a file</translation>
    </message>
    <message>
        <source>同じ名前のﾌｫﾙﾀﾞがあります</source>
        <translation>A folder of that name exists</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名が長すぎます</source>
        <translation>The file name is too long</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名に使えない文字があります</source>
        <translation>The file name holds a character it cannot have</translation>
    </message>
    <message>
        <source>ﾃﾞﾊﾞｲｽのｴﾗｰです</source>
        <translation>Device error</translation>
    </message>
    <message>
        <source>普通のﾌｧｲﾙではありません</source>
        <translation>Not an ordinary file</translation>
    </message>
    <message>
        <source>手順が正しくありません</source>
        <translation>The moves are out of order</translation>
    </message>
    <message>
        <source>名前が長すぎます</source>
        <translation>A name is too long</translation>
    </message>
    <message>
        <source>Direct Soundインターフェースが作成できません。</source>
        <translation>The sound device cannot be opened.</translation>
    </message>
    <message>
        <source>ZUBEKI  Version 0.94    [12/1999]</source>
        <translation>ZUBEKI  Version 0.94    [12/1999]</translation>
    </message>
    <message>
        <source>      The ZUBEKI project</source>
        <translation>      The ZUBEKI project</translation>
    </message>
    <message>
        <source>Home page</source>
        <translation>Home page</translation>
    </message>
    <message>
        <source>e-mail</source>
        <translation>e-mail</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙの %1 行目が長すぎます</source>
        <translation>Line %1 of the record file is too long</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙの %1 行目に文字でないﾃﾞｰﾀがあります</source>
        <translation>Line %1 of the record file holds data that is not text</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙの %1 行目（%2 手目）が空です</source>
        <translation>Line %1 of the record file (move %2) is empty</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙの %1 行目（%2 手目）が正しくありません</source>
        <translation>Line %1 of the record file (move %2) is not a move</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙの %1 手目から後は読み込みませんでした</source>
        <translation>The record file was read up to move %1 and no further</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙが大きすぎます（読み込めるのは %1 までです）</source>
        <translation>The record file is too large (at most %1 can be read)</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙが大きすぎます（%1。読み込めるのは %2 までです）</source>
        <translation>The record file is too large (%1; at most %2 can be read)</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙを開けませんでした：%1</source>
        <translation>The record file could not be opened: %1</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙを読み込めませんでした：%1</source>
        <translation>The record file could not be read: %1</translation>
    </message>
    <message>
        <source>棋譜を書き込めませんでした：%1</source>
        <translation>The record could not be saved: %1</translation>
    </message>
    <message>
        <source>%1 手目が正しくありません</source>
        <translation>Move %1 is not a move</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名に &apos;%1&apos; は使えません</source>
        <translation>A file name cannot hold &apos;%1&apos;</translation>
    </message>
    <message>
        <source>ｴﾗｰ %1（%2）</source>
        <translation>Error %1 (%2)</translation>
    </message>
    <message>
        <source>検討する手がありません</source>
        <translation>There are no moves to review</translation>
    </message>
    <message>
        <source>この棋譜は検討できません</source>
        <translation>This game cannot be reviewed</translation>
    </message>
    <message>
        <source>検討</source>
        <translation>Review</translation>
    </message>
    <message>
        <source>コンピュータとの対局でだけできます</source>
        <translation>Only in a game against the computer</translation>
    </message>
    <message>
        <source>待った</source>
        <translation>Take back</translation>
    </message>
    <message>
        <source>後手の番です</source>
        <translation>The second player's turn</translation>
    </message>
    <message>
        <source>この局面は下手の番です。「先手」で始めて下さい</source>
        <translation>The lower side moves in this position: start with You Move First</translation>
    </message>
    <message>
        <source>この局面は上手の番です。「後手」で始めて下さい</source>
        <translation>The upper side moves in this position: start with You Move Second</translation>
    </message>
    <message>
        <source>駒が９枚より多い側があります</source>
        <translation>A side has more than nine pieces</translation>
    </message>
    <message>
        <source>成った駒が自陣の中にあります（自陣には止まれません）</source>
        <translation>A promoted piece stands inside its own camp, where it may never stop</translation>
    </message>
    <message>
        <source>敵陣がもう埋まっています（対局は終わっています）</source>
        <translation>A camp is already filled by the enemy: the game is over</translation>
    </message>
    <message>
        <source>空いた隣のマスがない駒の一団があります</source>
        <translation>A group has no empty square beside it</translation>
    </message>
    <message>
        <source>どちらの側にも指せる手がありません</source>
        <translation>Neither side has a move</translation>
    </message>
    <message>
        <source>この局面で始められます</source>
        <translation>This position can be played</translation>
    </message>
    <message>
        <source>編集</source>
        <translation>Edit Position</translation>
    </message>
    <message>
        <source>貼り付ける局面がありません</source>
        <translation>The clipboard holds no position</translation>
    </message>
    <message>
        <source>局面を貼り付け</source>
        <translation>Paste Position</translation>
    </message>
    <message>
        <source>局面を貼り付けられません：%1</source>
        <translation>The position cannot be pasted: %1</translation>
    </message>
    <message>
        <source>名前は1文字から32文字で入れてください</source>
        <translation>Enter a name of 1 to 32 characters</translation>
    </message>
    <message>
        <source>通信対局</source>
        <translation>Online game</translation>
    </message>
    <message>
        <source>サーバのアドレスが正しくありません</source>
        <translation>That is not a server address</translation>
    </message>
    <message>
        <source>このコンピュータでサーバを始められませんでした</source>
        <translation>The server could not be started on this computer</translation>
    </message>
    <message>
        <source>相手から引き分けの申し出です。受けますか？</source>
        <translation>Your opponent offers a draw. Do you accept?</translation>
    </message>
    <message>
        <source>引分提案</source>
        <translation>Draw offer</translation>
    </message>
    <message>
        <source>引き分けの申し出は断られました</source>
        <translation>Your draw offer was declined</translation>
    </message>
    <message>
        <source>サーバが受け付けませんでした</source>
        <translation>The server refused</translation>
    </message>
    <message>
        <source>相手が戻るのを待つ時間がまだ過ぎていません</source>
        <translation>Your opponent still has time to come back</translation>
    </message>
    <message>
        <source>勝ちを申請</source>
        <translation>Claim the win</translation>
    </message>
    <message>
        <source>対局を始めます。あなたは下手です</source>
        <translation>The game begins. You play the lower side</translation>
    </message>
    <message>
        <source>対局を始めます。あなたは上手です</source>
        <translation>The game begins. You play the upper side</translation>
    </message>
    <message>
        <source>対局は中止になりました</source>
        <translation>The game was called off</translation>
    </message>
    <message>
        <source>あなたの勝ちです</source>
        <translation>You win</translation>
    </message>
    <message>
        <source>あなたの負けです</source>
        <translation>You lose</translation>
    </message>
    <message>
        <source>囲んで勝ち</source>
        <translation>A group surrounded</translation>
    </message>
    <message>
        <source>敵陣を埋めて勝ち</source>
        <translation>The enemy camp filled</translation>
    </message>
    <message>
        <source>二回続けてパス</source>
        <translation>Two passes in a row</translation>
    </message>
    <message>
        <source>投了</source>
        <translation>Resigned</translation>
    </message>
    <message>
        <source>合意の引き分け</source>
        <translation>Drawn by agreement</translation>
    </message>
    <message>
        <source>時間切れ</source>
        <translation>Out of time</translation>
    </message>
    <message>
        <source>相手の切断</source>
        <translation>The opponent left</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Called off</translation>
    </message>
    <message>
        <source>サーバにつながりません</source>
        <translation>Cannot reach the server</translation>
    </message>
    <message>
        <source>対局に入れませんでした</source>
        <translation>Could not enter the game</translation>
    </message>
    <message>
        <source>投了しますか？</source>
        <translation>Resign the game?</translation>
    </message>
    <message>
        <source>通信対局の間はできません</source>
        <translation>Not during an online game</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>qrc:/help/how_to_play.ja.html</source>
        <translation>qrc:/help/how_to_play.en.html</translation>
    </message>
    <message>
        <source>遊び方</source>
        <translation>How to Play</translation>
    </message>
</context>
<context>
    <name>ReviewWindow</name>
    <message>
        <source>検討</source>
        <translation>Review</translation>
    </message>
    <message>
        <source>手数</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>指し手</source>
        <translation>Played</translation>
    </message>
    <message>
        <source>印</source>
        <translation>Mark</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>先手の勝率</source>
        <translation>First player&apos;s winning chance</translation>
    </message>
    <message>
        <source>先手勝ち(%1手)</source>
        <translation>First player wins in %1</translation>
    </message>
    <message>
        <source>後手勝ち(%1手)</source>
        <translation>Second player wins in %1</translation>
    </message>
    <message>
        <source>%1：疑問手 %2&#x3000;悪手 %3&#x3000;大悪手 %4&#x3000;平均損失 %5%</source>
        <translation>%1: inaccuracies %2, mistakes %3, blunders %4, average loss %5%</translation>
    </message>
    <message>
        <source>先手</source>
        <translation>First player</translation>
    </message>
    <message>
        <source>後手</source>
        <translation>Second player</translation>
    </message>
    <message>
        <source>パス</source>
        <translation>pass</translation>
    </message>
    <message>
        <source>%1手目 %2&#x3000;読み筋：%3</source>
        <translation>Move %1 %2 - best line: %3</translation>
    </message>
    <message>
        <source>棋譜を保存</source>
        <translation>Save record</translation>
    </message>
    <message>
        <source>棋譜ﾌｧｲﾙ</source>
        <translation>Record files</translation>
    </message>
    <message>
        <source>引き分け</source>
        <translation>Draw</translation>
    </message>
    <message>
        <source>先手勝ち</source>
        <translation>First player wins</translation>
    </message>
    <message>
        <source>後手勝ち</source>
        <translation>Second player wins</translation>
    </message>
    <message>
        <source>疑問手</source>
        <translation>inaccuracy</translation>
    </message>
    <message>
        <source>悪手</source>
        <translation>mistake</translation>
    </message>
    <message>
        <source>大悪手</source>
        <translation>blunder</translation>
    </message>
    <message>
        <source>%1手目 %2&#x3000;%3</source>
        <translation>Move %1 %2 - %3</translation>
    </message>
    <message>
        <source>先手から見た評価</source>
        <translation>Score for first player</translation>
    </message>
    <message>
        <source>先手から見た点数。「勝ち(n手)」は読み切った決着までの手数</source>
        <translation>Points from the first player&apos;s side; &quot;wins in N&quot;: a result forced N moves ahead</translation>
    </message>
    <message>
        <source>?! 疑問手&#x3000;? 悪手&#x3000;?? 大悪手</source>
        <translation>?! inaccuracy, ? mistake, ?? blunder</translation>
    </message>
    <message>
        <source>途中まで：全%2手のうち%1手</source>
        <translation>partial: %1 of %2 moves</translation>
    </message>
</context>
<context>
    <name>Editor</name>
    <message>
        <source>手番：下手</source>
        <translation>To move: lower</translation>
    </message>
    <message>
        <source>手番：上手</source>
        <translation>To move: upper</translation>
    </message>
    <message>
        <source>初期配置</source>
        <translation>Start position</translation>
    </message>
    <message>
        <source>全消去</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>完了</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Online</name>
    <message>
        <source>下手</source>
        <translation>lower side</translation>
    </message>
    <message>
        <source>上手</source>
        <translation>upper side</translation>
    </message>
    <message>
        <source>通信対局</source>
        <translation>Online game</translation>
    </message>
    <message>
        <source>投了</source>
        <translation>Resign</translation>
    </message>
    <message>
        <source>引分提案</source>
        <translation>Offer a draw</translation>
    </message>
    <message>
        <source>勝ちを申請</source>
        <translation>Claim the win</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Leave</translation>
    </message>
    <message>
        <source>サーバにつないでいます…</source>
        <translation>Connecting to the server...</translation>
    </message>
    <message>
        <source>招待コード：</source>
        <translation>Invitation code: </translation>
    </message>
    <message>
        <source>このコードを相手に伝えてください</source>
        <translation>Pass this code on to your friend</translation>
    </message>
    <message>
        <source>相手のサーバ：</source>
        <translation>Server for your friend: </translation>
    </message>
    <message>
        <source>相手：</source>
        <translation>Opponent: </translation>
    </message>
    <message>
        <source>あなた：</source>
        <translation>You: </translation>
    </message>
    <message>
        <source>再接続中…</source>
        <translation>Reconnecting...</translation>
    </message>
    <message>
        <source>相手は接続中</source>
        <translation>Your opponent is connected</translation>
    </message>
    <message>
        <source>相手は切断中（%1秒）</source>
        <translation>Your opponent is away (%1 s)</translation>
    </message>
    <message>
        <source>下手 </source>
        <translation>Lower </translation>
    </message>
    <message>
        <source>　上手 </source>
        <translation>  Upper </translation>
    </message>
    <message>
        <source>対局は終わりました</source>
        <translation>The game is over</translation>
    </message>
    <message>
        <source>通信対局を作成</source>
        <translation>Create an online game</translation>
    </message>
    <message>
        <source>通信対局に参加</source>
        <translation>Join an online game</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>このコンピュータがサーバになる</source>
        <translation>This computer is the server</translation>
    </message>
    <message>
        <source>サーバ</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>おまかせ</source>
        <translation>Either</translation>
    </message>
    <message>
        <source>下手（先に指す）</source>
        <translation>Lower side (moves first)</translation>
    </message>
    <message>
        <source>手番</source>
        <translation>Side</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>持ち時間（分）</source>
        <translation>Time (minutes)</translation>
    </message>
    <message>
        <source>一手ごとの加算（秒）</source>
        <translation>Added a move (seconds)</translation>
    </message>
    <message>
        <source>招待コード</source>
        <translation>Invitation code</translation>
    </message>
</context>
</TS>
