// LEVEL4's speed in the WebAssembly core against the native build, the same search from the
// same position with the same node budget, one thread each:
//   node --no-experimental-fetch web/bench/level4.mjs build/web/public/core/zubeki-core.js \
//        build/web-native/bin/zubeki-cli [NODES]
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { resolve } from 'node:path';

const [corePath, cliPath, nodesArg] = process.argv.slice(2);
const nodes = Number(nodesArg ?? 2000000);
const Z = await createRequire(import.meta.url)(resolve(corePath))();

const computer = new Z.Computer();
computer.setBudget(0, nodes);
const p = new Z.Position();
let started = performance.now();
const wasm = computer.choose(p, 4, 0);
const wasmMs = performance.now() - started;

started = performance.now();
const out = execFileSync(resolve(cliPath), ['think', '--position', Z.START_POSITION, '--level', '4',
                                            '--nodes', String(nodes), '--digit', '0'],
                         { encoding: 'utf8' });
const nativeMs = performance.now() - started;

const rate = (ms) => Math.round(wasm.nodes / (ms / 1000));
console.log(JSON.stringify({
  nodes: wasm.nodes, move: wasm.move.text, depth: wasm.depth, native: JSON.parse(out),
  wasm_nodes_per_second: rate(wasmMs), native_nodes_per_second: rate(nativeMs),
  ratio: Number((nativeMs / wasmMs).toFixed(3)),
}));
