// The page is built into the web build's site folder beside the WebAssembly core and the
// pictures that the build puts in its public folder; relative paths, so any static host serves it.
import { createHash } from 'node:crypto';
import { readFileSync, readdirSync } from 'node:fs';
import { join, relative, resolve } from 'node:path';
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
          .replace(/&apos;/g, "'")
          .replace(/&#x([0-9a-fA-F]+);/g, (_, hex) => String.fromCodePoint(parseInt(hex, 16)))
          .replace(/&#([0-9]+);/g, (_, dec) => String.fromCodePoint(parseInt(dec, 10)));
      const map: Record<string, string> = {};
      const message = /<source>([\s\S]*?)<\/source>\s*<translation[^>]*>([\s\S]*?)<\/translation>/g;
      for (const [, ja, en] of xml.matchAll(message)) map[unescape(ja)] = unescape(en).replace('&', '');
      return `export default ${JSON.stringify(map)};`;
    },
  };
}

// Every file below `folder`, as paths relative to `base`.
function filesBelow(folder: string, base: string): string[] {
  return readdirSync(folder, { withFileTypes: true }).flatMap((e) =>
    e.isDirectory() ? filesBelow(join(folder, e.name), base) : [relative(base, join(folder, e.name))],
  );
}

// The web app manifest and the service worker that keeps every file of the site for offline play.
function offline(): Plugin {
  return {
    name: 'zubeki-offline',
    apply: 'build',
    generateBundle(_, bundle) {
      const manifest = {
        name: 'ZUBEKI', short_name: 'ZUBEKI', start_url: './', display: 'standalone',
        background_color: '#c0c0c0', theme_color: '#008000',
        icons: [256, 512].map((n) => ({ src: `icons/zubeki-${n}.png`, sizes: `${n}x${n}`, type: 'image/png' })),
      };
      this.emitFile({ type: 'asset', fileName: 'manifest.webmanifest', source: JSON.stringify(manifest) });
      const publicDir = resolve(webBuild, 'public');
      const files = [...new Set(['./', ...Object.keys(bundle), ...filesBelow(publicDir, publicDir)])];
      const hash = createHash('sha256');
      for (const f of filesBelow(publicDir, publicDir)) hash.update(f).update(readFileSync(join(publicDir, f)));
      hash.update(Object.keys(bundle).sort().join());
      const source = readFileSync(resolve(__dirname, 'src/sw-template.js'), 'utf8')
        .replace('__CACHE__', JSON.stringify(`zubeki-${hash.digest('hex').slice(0, 16)}`))
        .replace('__FILES__', JSON.stringify(files.map((f) => (f === './' ? f : `./${f}`))));
      this.emitFile({ type: 'asset', fileName: 'sw.js', source });
    },
  };
}

export default defineConfig({
  base: './',
  publicDir: resolve(webBuild, 'public'),
  build: { outDir: resolve(webBuild, 'site'), emptyOutDir: true, target: 'es2020' },
  plugins: [translations(), offline()],
});
