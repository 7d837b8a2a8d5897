// The page's texts: Japanese as the window writes them, English from the window's translation,
// with the page's own few texts beside them.
import windowEnglish from 'virtual:translations';

const pageEnglish: Record<string, string> = {
  '対局(人間)': 'Two players',
  '先手': 'Play first',
  '後手': 'Play second',
  '戻': 'Back',
  '進': 'Forward',
  '最初': 'Start',
  '反転': 'Turn board',
  'ヒント': 'Hint',
  '移動指導': 'Move guide',
  '音': 'Sound',
  '閉じる': 'Close',
  '棋譜を開く': 'Open record',
  '棋譜を保存': 'Save record',
  '検討': 'Review',
  'English': 'English',
  '考え中…': 'Thinking…',
  '成': 'Promote',
  '不成': 'Do not promote',
  '後手の番です': 'The second player moves',
  '対局を選んでください': 'Choose a game',
  '相手の番です': "Your opponent's move",
  '相手は切断中': 'Your opponent is away',
  '投了': 'Resign',
  '通信対局': 'Online',
  '作成': 'Create',
  '参加': 'Join',
  'コピー': 'Copy',
  'コピーしました': 'Copied',
  '持ち時間は1～1440分、加算は0～3600秒です': 'The clock is 1 to 1440 minutes, with 0 to 3600 seconds added a move',
  '招待コードを入れてください': 'Type the invitation code',
};

export type Language = 'ja' | 'en';

let language: Language = navigator.language.startsWith('ja') ? 'ja' : 'en';

export function currentLanguage(): Language {
  return language;
}

export function setLanguage(l: Language): void {
  language = l;
  document.documentElement.lang = l;
}

// The text in the page's language; a text without a translation stays Japanese.
export function t(japanese: string): string {
  if (language === 'ja') return japanese === 'English' ? 'English' : japanese;
  return pageEnglish[japanese] ?? windowEnglish[japanese] ?? japanese;
}

// The window's own translation of a text that the page's buttons word otherwise (先手, 後手 name
// the sides in the review, not the buttons that start a game).
export function windowText(japanese: string): string {
  return language === 'ja' ? japanese : windowEnglish[japanese] ?? japanese;
}
