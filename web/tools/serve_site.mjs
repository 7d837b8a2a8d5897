// The built site served on a free port of 127.0.0.1 for the page's test and its screenshots:
//   const { url, close } = await serveSite('build/web/site');
// `count` tells how often each path was asked for.
import { readFile } from 'node:fs/promises';
import { createServer } from 'node:http';
import { extname, join } from 'node:path';

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.wasm': 'application/wasm', '.png': 'image/png', '.wav': 'audio/wav',
                '.webmanifest': 'application/manifest+json' };

export async function serveSite(site) {
  const count = new Map();
  const server = createServer(async (req, res) => {
    const path = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    count.set(path, (count.get(path) ?? 0) + 1);
    const file = join(site, path);
    try {
      const body = await readFile(file.endsWith('/') ? join(file, 'index.html') : file);
      res.writeHead(200, { 'content-type': TYPES[extname(file) || '.html'] ?? 'application/octet-stream' });
      res.end(body);
    } catch {
      res.writeHead(404).end();
    }
  });
  await new Promise((ok) => server.listen(0, '127.0.0.1', ok));
  return { url: `http://127.0.0.1:${server.address().port}/`, count, close: () => server.close() };
}
