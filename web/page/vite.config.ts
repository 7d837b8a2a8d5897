// The page is built into the web build's site folder beside the WebAssembly core and the
// pictures that the build puts in its public folder; relative paths, so any static host serves it.
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { defineConfig, type Plugin } from 'vite';

const webBuild = resolve(process.env.ZUBEKI_WEB_BUILD ?? resolve(__dirname, '../../build/web'));

// The window's English translation (i18n/zubeki_en.ts) as one map from Japanese to English.
function translations(): Plugin {
  const id = 'virtual:translations';
  return {
    name: 'zubeki-translations',
    resolveId: (source) => (source === id ? '\0' + id : undefined),
    load(loaded) {
      if (loaded !== '\0' + id) return undefined;
      const file = resolve(__dirname, '../../i18n/zubeki_en.ts');
      const xml = readFileSync(file, 'utf8');
      const unescape = (s: string) =>
        s.replace(/&amp;/g, '&').replace(/&lt;/g, '<').replace(/&gt;/g, '>').replace(/&quot;/g, '"')
          .replace(/&apos;/g, "'");
      const map: Record<string, string> = {};
      const message = /<source>([\s\S]*?)<\/source>\s*<translation[^>]*>([\s\S]*?)<\/translation>/g;
      for (const [, ja, en] of xml.matchAll(message)) map[unescape(ja)] = unescape(en).replace('&', '');
      return `export default ${JSON.stringify(map)};`;
    },
  };
}

export default defineConfig({
  base: './',
  publicDir: resolve(webBuild, 'public'),
  build: { outDir: resolve(webBuild, 'site'), emptyOutDir: true, target: 'es2020' },
  plugins: [translations()],
});
