// The game's sounds through Web Audio: the window's wave files (the build writes them with the
// same generator), the music looping under the effects. A browser lets a page sound only after a
// press, so the sound starts with the press that turns it on, or with the first press on the page
// when it was left on last time.
const WAVES: Record<string, string> = {
  piece: '駒打音.wav',
  forbidden: '禁止.wav',
  'game-end': '終局.wav',
  vanish: '消滅.wav',
  music: 'BGM.wav',
};
const KEPT = 'zubeki-sound';

let context: AudioContext | undefined;
let loading: Promise<void> | undefined;
const buffers = new Map<string, AudioBuffer>();
let music: AudioBufferSourceNode | undefined;
let on = false;

function kept(): boolean {
  try {
    return localStorage.getItem(KEPT) === 'on';
  } catch {
    return false; // storage refused: the sound starts off
  }
}

function keep(): void {
  try {
    localStorage.setItem(KEPT, on ? 'on' : 'off');
  } catch {
    // storage refused: the choice lasts this visit only
  }
}

export function soundOn(): boolean {
  return on;
}

// Every wave fetched and decoded once; a wave that fails stays silent.
function load(audio: AudioContext): Promise<void> {
  loading ??= Promise.all(
    Object.entries(WAVES).map(async ([name, file]) => {
      try {
        const response = await fetch(`./sounds/${file}`);
        if (!response.ok) return;
        buffers.set(name, await audio.decodeAudioData(await response.arrayBuffer()));
      } catch {
        // no such wave, or not one Web Audio reads: that sound is left out
      }
    }),
  ).then(() => void (document.body.dataset.wavesDecoded = String(buffers.size)));
  return loading;
}

function startMusic(audio: AudioContext): void {
  const bgm = buffers.get('music');
  if (!on || music || !bgm) return;
  music = audio.createBufferSource();
  music.buffer = bgm;
  music.loop = true;
  music.connect(audio.destination);
  music.start();
}

export async function setSound(wanted: boolean): Promise<void> {
  on = wanted;
  keep();
  document.body.dataset.sound = on ? 'on' : 'off';
  if (!on) {
    music?.stop();
    music = undefined;
    await context?.suspend();
    return;
  }
  context ??= new AudioContext();
  const audio = context;
  await audio.resume();
  await load(audio);
  startMusic(audio);
}

// One of the game's effects ("piece", "forbidden", "game-end", "vanish"), when the sound is on.
export function playWave(name: string): void {
  const buffer = buffers.get(name);
  if (!on || !context || !buffer) return;
  const source = context.createBufferSource();
  source.buffer = buffer;
  source.connect(context.destination);
  source.start();
}

// The sound as it was left: shown at once, heard from the first press on the page.
export function restoreSound(): void {
  if (!kept()) {
    document.body.dataset.sound = 'off';
    return;
  }
  on = true;
  document.body.dataset.sound = 'on';
  document.addEventListener('pointerdown', () => void (on && setSound(true)), { once: true });
}
