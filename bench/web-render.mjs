// The longest sound (10 s at 44100 Hz, 16 bits, swept, with Distort and the
// longest echo) rendered by the web package under Node and by the native
// libzindle, in one run; both must give the same bytes (size and hash).
//   node bench/web-render.mjs WEB_DIR NATIVE_TIMES_PROGRAM [COUNT]
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

const [web, nativeTimes, countText = '20'] = process.argv.slice(2);
if (!web || !nativeTimes) {
    console.error('usage: node web-render.mjs WEB_DIR NATIVE_TIMES_PROGRAM [COUNT]');
    process.exit(2);
}
const count = Math.max(1, Number(countText));
const points = (values) => values.map((v, i) => [i / (values.length - 1), v]);
const longest = JSON.stringify({
    format: 'zindle-sound', version: 1, waveform: 'Sine', length: 1, distort: 0.3, echoVolume: 0.5, echoDelay: 1,
    repeatCount: 1, bitsPerSample: 16, sampleRate: 44100,
    amplitude: points([0.75, 0.75, 0.75, 0.75, 0.75, 0]),
    frequency: points([0.1, 0.9, 0.2, 0.8, 0.3, 0.7]),
});
const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'zindle-web-bench-')), 'longest.json');
fs.writeFileSync(file, longest);

const { Zindle } = await import(pathToFileURL(path.join(web, 'zindle.mjs')));
const zindle = await Zindle.load();
const sound = zindle.readSound(longest);
const times = [];
let wav;
for (let i = 0; i < count + 2; ++i) {
    const start = process.hrtime.bigint();
    wav = sound.renderWav();
    if (i >= 2) times.push(Number(process.hrtime.bigint() - start) / 1e6);  // two warm-up renders
}
times.sort((a, b) => a - b);
const wasmMs = times[Math.floor(times.length / 2)];

const native = spawnSync(nativeTimes, [file, String(count)], { encoding: 'utf8' });
if (native.status !== 0) {
    console.error(native.stderr || String(native.error));
    process.exit(1);
}
const [nativeMs, nativeSize, nativeHash] = native.stdout.trim().split(' ');
let hash = 2166136261;
for (const byte of wav) hash = Math.imul(hash ^ byte, 16777619) >>> 0;
const same = Number(nativeSize) === wav.length && nativeHash === hash.toString(16).padStart(8, '0');
console.log(`web render of the longest sound (${wav.length} bytes, median of ${count}):`);
console.log(`  wasm under Node ${process.versions.node}: ${wasmMs.toFixed(2)} ms`);
console.log(`  native libzindle:        ${Number(nativeMs).toFixed(2)} ms`);
console.log(`  wasm / native:           ${(wasmMs / nativeMs).toFixed(2)}x${same ? '' : '  (THE BYTES DIFFER)'}`);
fs.rmSync(path.dirname(file), { recursive: true });
process.exit(same ? 0 : 1);
