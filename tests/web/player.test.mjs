// The web player in headless Chromium, opened from the disk and from a static
// server with a share-code link: the info it shows, and the WAV it renders
// (written into the page as base64 with ?dump-wav), against zindle-cli; and
// the package imported by a page as a web game imports it.
//   node --test player.test.mjs, with ZINDLE_WEB, ZINDLE_CLI, ZINDLE_CHROMIUM,
//   ZINDLE_TEST_DATA and ZINDLE_SCRATCH set (tests/web/CMakeLists.txt does).
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';

const player = path.join(process.env.ZINDLE_WEB, 'player');
const data = process.env.ZINDLE_TEST_DATA;
const scratch = fs.mkdtempSync(path.join(process.env.ZINDLE_SCRATCH, 'web-player-'));

function cli(...args) {
    const run = spawnSync(process.env.ZINDLE_CLI, args, { maxBuffer: 1 << 28 });
    assert.equal(run.status, 0, run.stderr.toString());
    return run.stdout;
}

// The share code of a sound file, built here from its definition: the .zdl
// that zindle-cli converts it to, in base64url.
function shareCode(file) {
    return 'zindle1:' + cli('convert', file, '-o', '-').toString('base64url');
}

function textOf(dom, id) {
    const found = new RegExp(`id="${id}"[^>]*>([^<]*)<`).exec(dom);
    assert.ok(found, `no element ${id} in the page`);
    return found[1].replace(/&amp;/g, '&');
}

// A page that imports the package as an ES module, as a web game would, and
// puts a share code's render into the page.
const gamePage = `<!DOCTYPE html><meta charset="utf-8"><pre id="wav-dump"></pre><script type="module">
import { Zindle } from './package/zindle.mjs';
const zindle = await Zindle.load();
const wav = zindle.readSound(decodeURIComponent(location.hash.slice(1))).renderWav();
document.getElementById('wav-dump').textContent = btoa(Array.from(wav, (b) => String.fromCharCode(b)).join(''));
</script>`;

// The player's folder over HTTP, as any static server gives it, and the
// package under /package/.
let server;
let serverUrl;
let gameUrl;
before(async () => {
    const types = { '.html': 'text/html', '.js': 'text/javascript', '.mjs': 'text/javascript', '.css': 'text/css',
                    '.wasm': 'application/wasm' };
    server = http.createServer((request, response) => {
        const where = new URL(request.url, 'http://x').pathname;
        if (where === '/game.html') {
            response.writeHead(200, { 'Content-Type': 'text/html' }).end(gamePage);
            return;
        }
        const folder = where.startsWith('/package/') ? process.env.ZINDLE_WEB : player;
        const file = path.join(folder, path.basename(where) || 'index.html');
        if (!fs.existsSync(file)) {
            response.writeHead(404).end();
            return;
        }
        response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
        response.end(fs.readFileSync(file));
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    serverUrl = `http://127.0.0.1:${server.address().port}/index.html`;
    gameUrl = `http://127.0.0.1:${server.address().port}/game.html`;
});
after(() => server.close());

// The page after its scripts ran, from Chromium in its own process (this one
// serves the page meanwhile). Each run has its own profile, so runs never share
// Chromium's lock; the time limit fails the test rather than hang it.
let runs = 0;
function dumpDom(url) {
    return new Promise((resolve, reject) => {
        const profile = path.join(scratch, `profile-${++runs}`);
        const args = ['--headless', '--no-sandbox', '--disable-gpu', `--user-data-dir=${profile}`,
                      '--virtual-time-budget=10000', '--dump-dom', url];
        const child = spawn(process.env.ZINDLE_CHROMIUM, args, { stdio: ['ignore', 'pipe', 'pipe'] });
        const chunks = [];
        let errors = '';
        const deadline = setTimeout(() => child.kill(), 90000);
        child.stdout.on('data', (chunk) => chunks.push(chunk));
        child.stderr.on('data', (chunk) => (errors += chunk));
        child.on('error', reject);
        child.on('close', (status) => {
            clearTimeout(deadline);
            if (status === 0) resolve(Buffer.concat(chunks).toString('utf8'));
            else reject(new Error(`chromium exited with ${status}: ${errors}`));
        });
    });
}

const sounds = ['sounds/laser.zdl', 'corpus/zdl/new-16bit-44k.zdl', 'corpus/efc/boom.efc'];

for (const where of ['file', 'http']) {
    test(`a share-code link opened over ${where} shows the sound and renders what zindle-cli renders`, async () => {
        for (const file of sounds) {
            const full = path.join(data, file);
            const page = where === 'file' ? pathToFileURL(path.join(player, 'index.html')).href : serverUrl;
            const url = `${page}?dump-wav#${shareCode(full)}`;
            const dom = await dumpDom(url);
            const expected = cli('render', full, '-o', '-');
            assert.equal(textOf(dom, 'status'), '', file);
            const wav = Buffer.from(textOf(dom, 'wav-dump'), 'base64');
            assert.ok(wav.equals(expected), `${file}: the page's WAV differs from zindle-cli's`);
            // The figures the page shows, from zindle-cli's WAV header.
            const rate = expected.readUInt32LE(24);
            const bits = expected.readUInt16LE(34);
            const samples = expected.readUInt32LE(40) / (bits / 8);
            assert.deepEqual(
                ['info-name', 'info-duration', 'info-samples', 'info-rate', 'info-bits'].map((id) => textOf(dom, id)),
                ['Shared sound', `${(samples / rate).toFixed(3)} s`, String(samples), `${rate} Hz`, `${bits} bits`],
                file);
        }
    });
}

test('the package imported as an ES module in the browser renders what zindle-cli renders', async () => {
    const full = path.join(data, 'sounds', 'laser.zdl');
    const dom = await dumpDom(`${gameUrl}#${shareCode(full)}`);
    const wav = Buffer.from(textOf(dom, 'wav-dump'), 'base64');
    assert.ok(wav.length > 44 && wav.equals(cli('render', full, '-o', '-')), "the game page's WAV differs");
});

test('a bad share code or link shows its reason in the page', async () => {
    const page = pathToFileURL(path.join(player, 'index.html')).href;
    for (const [hash, reason] of [['zindle1:AAAA', /^Shared sound: .+/], ['%E0', /^The link cannot be read: .+/]]) {
        const dom = await dumpDom(`${page}#${hash}`);
        assert.match(textOf(dom, 'status'), reason, hash);
        assert.equal(textOf(dom, 'info-name'), '–', hash);
    }
});
