// The web package against the native zindle-cli: the same bytes for every
// call, the same reasons for every refusal, and a tarball that installs.
//   node --test package.test.mjs, with ZINDLE_WEB, ZINDLE_CLI, ZINDLE_READ_REASON,
//   ZINDLE_TEST_DATA and ZINDLE_SCRATCH set (tests/web/CMakeLists.txt does).
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { pathToFileURL } from 'node:url';

const web = process.env.ZINDLE_WEB;
const cliPath = process.env.ZINDLE_CLI;
const data = process.env.ZINDLE_TEST_DATA;
const scratch = fs.mkdtempSync(path.join(process.env.ZINDLE_SCRATCH, 'web-package-'));
const { Zindle, ZindleError } = await import(pathToFileURL(path.join(web, 'zindle.mjs')));
const zindle = await Zindle.load();

function cli(...args) {
    const run = spawnSync(cliPath, args, { encoding: 'buffer', maxBuffer: 1 << 28 });
    assert.ok(run.error === undefined, `zindle-cli did not run: ${run.error}`);
    return { status: run.status, stdout: run.stdout, stderr: run.stderr.toString() };
}

function cliOk(...args) {
    const run = cli(...args);
    assert.equal(run.status, 0, `zindle-cli ${args.join(' ')}: ${run.stderr}`);
    return run;
}

function filesUnder(dir) {
    return fs.readdirSync(dir, { withFileTypes: true }).flatMap((entry) => {
        const full = path.join(dir, entry.name);
        return entry.isDirectory() ? filesUnder(full) : [full];
    });
}

function freshDir(name) {
    const dir = path.join(scratch, name);
    fs.mkdirSync(dir, { recursive: true });
    return dir;
}

// What readSound makes of a file: its sound, or the refusal.
function readOrRefusal(bytes) {
    try {
        return { sound: zindle.readSound(bytes) };
    } catch (error) {
        assert.ok(error instanceof ZindleError, `not a ZindleError: ${error}`);
        return { error };
    }
}

// zindle-cli picks a reader by the file's extension; the library and the
// package detect the format from the bytes, so the reasons come from the
// native library itself.
test('every corpus file renders as zindle-cli renders it, or is refused with the library reason', () => {
    const files = [...filesUnder(path.join(data, 'corpus')), ...filesUnder(path.join(data, 'sounds'))];
    assert.ok(files.length >= 25);
    const reasons = spawnSync(process.env.ZINDLE_READ_REASON, files, { encoding: 'utf8' });
    assert.equal(reasons.status, 0, reasons.stderr);
    const nativeSays = reasons.stdout.split('\n');
    let refused = 0;
    files.forEach((file, i) => {
        const read = readOrRefusal(fs.readFileSync(file));
        if (nativeSays[i] !== 'ok') {
            ++refused;
            assert.ok(read.error, `${file}: the library refuses it (${nativeSays[i]}), the package read it`);
            assert.equal(read.error.code, 'format', file);
            assert.equal(read.error.reason, nativeSays[i], file);
            return;
        }
        assert.ok(read.sound, `${file}: ${read.error && read.error.reason}`);
        const wav = cliOk('render', file, '-o', '-').stdout;
        assert.deepEqual(read.sound.renderWav(), new Uint8Array(wav), file);
        read.sound.free();
    });
    assert.ok(refused >= 8, `only ${refused} refusals in the corpus`);
});

test('200 random sounds render, convert and mutate byte for byte as zindle-cli', () => {
    const made = freshDir('random');
    cliOk('generate', 'random', '--seed', '2024', '--count', '200', '-d', made);
    const rendered = freshDir('random-wav');
    const zdlFiles = fs.readdirSync(made).filter((name) => name.endsWith('.zdl')).sort();
    assert.equal(zdlFiles.length, 200);
    cliOk('render', ...zdlFiles.map((name) => path.join(made, name)), '-d', rendered);
    const qualities = new Set();
    for (const name of zdlFiles) {
        const bytes = fs.readFileSync(path.join(made, name));
        const sound = zindle.readSound(bytes);
        qualities.add(`${sound.sampleRate}/${sound.bits}`);
        const wav = fs.readFileSync(path.join(rendered, name.replace(/\.zdl$/, '.wav')));
        assert.deepEqual(sound.renderWav(), new Uint8Array(wav), name);
        assert.deepEqual(sound.toZdl(), new Uint8Array(bytes), name);
        sound.free();
    }
    assert.ok(qualities.size >= 4, `the random sounds took only ${[...qualities]}`);
});

test('a render at another rate and width is that of zindle-cli --rate --bits', () => {
    const file = path.join(data, 'sounds', 'laser.zdl');
    const sound = zindle.readSound(fs.readFileSync(file));
    for (const rate of [11025, 22050, 44100]) {
        for (const bits of [8, 16]) {
            const wav = cliOk('render', file, '--rate', String(rate), '--bits', String(bits), '-o', '-').stdout;
            const mine = sound.renderWav({ rate, bits });
            assert.deepEqual(mine, new Uint8Array(wav), `${rate} Hz, ${bits} bits`);
            // The samples are the WAV's data chunk, as the typed array the width asks for.
            const samples = sound.renderSamples({ rate, bits });
            assert.ok(samples instanceof (bits === 16 ? Int16Array : Uint8Array));
            assert.deepEqual(new Uint8Array(samples.buffer, samples.byteOffset, samples.byteLength), mine.subarray(44));
        }
    }
    sound.free();
});

test('every template at five seeds generates what zindle-cli generate writes', () => {
    assert.deepEqual([...zindle.templates], cliOk('templates').stdout.toString().trim().split(/\s+/).filter(Boolean));
    for (const template of zindle.templates) {
        const dir = freshDir(`generate-${template}`);
        cliOk('generate', template, '--seed', '41', '--count', '5', '-d', dir);
        for (let i = 0; i < 5; ++i) {
            const expected = fs.readFileSync(path.join(dir, `${template}_00${i + 1}.zdl`));
            const sound = zindle.generate(template, 41 + i);
            assert.deepEqual(sound.toZdl(), new Uint8Array(expected), `${template} seed ${41 + i}`);
            sound.free();
        }
    }
});

test('mutate makes what zindle-cli mutate writes, seeds past 2^53 included', () => {
    const cases = [
        { file: 'sounds/laser.zdl', seed: 11n, amount: '0.4' },
        { file: 'corpus/zdl/new-16bit-44k.zdl', seed: 1n, amount: '1' },
        { file: 'corpus/json/boom.json', seed: 18446744073709551610n, amount: '0.05' },
        { file: 'corpus/efc/organ-12-points.efc', seed: 9007199254740993n, amount: '0' },
    ];
    for (const { file, seed, amount } of cases) {
        const dir = freshDir(`mutate-${path.basename(file)}-${seed}`);
        cliOk('mutate', path.join(data, file), '--seed', String(seed), '--amount', amount, '--count', '3', '-d', dir);
        const sound = zindle.readSound(fs.readFileSync(path.join(data, file)));
        const base = path.basename(file).replace(/\.[a-z]+$/, '');
        for (let i = 0; i < 3; ++i) {
            const variant = sound.mutate(seed + BigInt(i), Number(amount));
            const expected = fs.readFileSync(path.join(dir, `${base}_00${i + 1}.zdl`));
            assert.deepEqual(variant.toZdl(), new Uint8Array(expected), `${file} seed ${seed + BigInt(i)}`);
            variant.free();
        }
        sound.free();
    }
});

test('the JSON text is that of zindle-cli convert, and reads back to the same sound', () => {
    for (const file of ['sounds/laser.zdl', 'corpus/json/compact.json', 'corpus/efc/boom.efc']) {
        const sound = zindle.readSound(fs.readFileSync(path.join(data, file)));
        const json = sound.toJson();
        assert.equal(json, cliOk('convert', path.join(data, file), '--to', 'json', '-o', '-').stdout.toString(), file);
        const again = zindle.readSound(json);
        assert.deepEqual(again.toZdl(), sound.toZdl(), file);
        again.free();
        sound.free();
    }
});

test('a share code is zindle1: and the .zdl in base64url, and reads back as it is or in a link', () => {
    for (const file of ['sounds/laser.zdl', 'corpus/json/boom.json', 'corpus/efc/organ-12-points.efc']) {
        const sound = zindle.readSound(fs.readFileSync(path.join(data, file)));
        const code = sound.toShareCode();
        assert.equal(code, 'zindle1:' + Buffer.from(sound.toZdl()).toString('base64url'), file);
        for (const text of [code, `https://example.org/player/index.html#${code}`, ` ${code}\n`]) {
            const again = zindle.readSound(text);
            assert.deepEqual(again.renderWav(), sound.renderWav(), file);
            again.free();
        }
        sound.free();
    }
});

test('refusals are ZindleErrors with the C library reason, and JSON ones say where', () => {
    const laser = zindle.readSound(fs.readFileSync(path.join(data, 'sounds', 'laser.zdl')));
    const freed = zindle.readSound(fs.readFileSync(path.join(data, 'sounds', 'new.zdl')));
    freed.free();
    freed.free();  // a second free is harmless
    const cases = [
        ['empty bytes', () => zindle.readSound(new Uint8Array()), 'format', /empty/],
        ['JSON cut short', () => zindle.readSound('  {"amplitude": [1, '), 'format', /^line 1, column 18: /],
        ['JSON over lines', () => zindle.readSound('{\n  "format": "zindle-sound",\n  "lenght": 0.2\n}'), 'format',
         /^line 3, column 3: unknown key "lenght"/],
        ['a rate not offered', () => laser.renderWav({ rate: 8000 }), 'argument', /^The sample rate 8000 is not offered/],
        ['a width not offered', () => laser.renderSamples({ bits: 12 }), 'argument', /12/],
        ['an unknown template', () => zindle.generate('lazer', 1), 'argument', /^Unknown template 'lazer'/],
        ['a negative seed', () => zindle.generate('coin', -1), 'argument', /seed -1/],
        ['a seed past 64 bits', () => laser.mutate(1n << 64n), 'argument', /seed/],
        ['a fractional seed', () => zindle.generate('coin', 1.5), 'argument', /seed 1.5/],
        ['a number for bytes', () => zindle.readSound(42), 'argument', /Uint8Array/],
        ['a freed sound', () => freed.renderWav(), 'argument', /freed/],
        ['a share code cut short', () => zindle.readSound('zindle1:6QM'), 'format', /./],
        ['a later share code', () => zindle.readSound('zindle2:AAAA'), 'format', /version 2/],
    ];
    for (const [name, call, code, reason] of cases) {
        assert.throws(call, (error) => {
            assert.ok(error instanceof ZindleError, `${name}: ${error}`);
            assert.equal(error.code, code, name);
            assert.match(error.reason, reason, name);
            assert.equal(error.message, error.reason);
            const at = /^line (\d+), column (\d+)/.exec(error.reason);
            assert.deepEqual([error.line, error.column], at ? [Number(at[1]), Number(at[2])] : [undefined, undefined]);
            return true;
        }, name);
    }
    laser.free();
});

test('an AudioBuffer holds the samples scaled to -1..1 at the sound rate', () => {
    const made = [];
    const context = {
        createBuffer(channels, length, rate) {
            const buffer = { channels, length, rate, data: new Float32Array(length), getChannelData: () => buffer.data };
            made.push(buffer);
            return buffer;
        },
    };
    for (const file of ['sounds/laser.zdl', 'corpus/zdl/new.zdl']) {
        const sound = zindle.readSound(fs.readFileSync(path.join(data, file)));
        const samples = sound.renderSamples();
        const buffer = sound.toAudioBuffer(context);
        assert.deepEqual([buffer.channels, buffer.length, buffer.rate], [1, samples.length, sound.sampleRate], file);
        const scale = sound.bits === 16 ? (s) => s / 32768 : (s) => (s - 128) / 128;
        const expected = Float32Array.from(samples, scale);
        assert.deepEqual(buffer.data, expected, file);
        assert.ok(buffer.data.some((v) => v !== 0), file);
        sound.free();
    }
});

test('the module loads from its bytes, a file URL or a path, and refuses other bytes', async () => {
    const wasm = path.join(web, 'zindle.wasm');
    for (const source of [fs.readFileSync(wasm), new Uint8Array(fs.readFileSync(wasm)).buffer, pathToFileURL(wasm), wasm]) {
        const loaded = await Zindle.load(source);
        assert.equal(loaded.version, zindle.version);
    }
    await assert.rejects(Zindle.load(new Uint8Array([1, 2, 3])), ZindleError);
    await assert.rejects(Zindle.load(path.join(scratch, 'missing.wasm')));
    assert.match(zindle.version, /^\d+\.\d+\.\d+$/);
    assert.equal(zindle.version, cliOk('--version').stdout.toString().match(/\d+\.\d+\.\d+/)[0]);
});

test('npm pack makes a tarball that installs offline into an empty project and renders', () => {
    const packed = freshDir('packed');
    const npm = (cwd, ...args) => {
        const run = spawnSync('npm', args, {
            cwd, encoding: 'utf8',
            env: { ...process.env, npm_config_cache: path.join(scratch, 'npm-cache'), npm_config_update_notifier: 'false' },
        });
        assert.equal(run.status, 0, `npm ${args.join(' ')}: ${run.stderr}`);
        return run.stdout;
    };
    const listing = JSON.parse(npm(web, 'pack', '--json', '--pack-destination', packed));
    assert.deepEqual(listing[0].files.map((f) => f.path).sort(),
                     ['README.md', 'package.json', 'zindle.d.ts', 'zindle.mjs', 'zindle.wasm']);
    const game = freshDir('game');
    fs.writeFileSync(path.join(game, 'package.json'), '{ "name": "game", "private": true, "type": "module" }\n');
    npm(game, 'install', '--offline', '--no-audit', '--no-fund', path.join(packed, listing[0].filename));
    const laser = path.join(data, 'sounds', 'laser.zdl');
    fs.writeFileSync(path.join(game, 'main.js'),
                     "import { Zindle } from 'zindle';\nimport fs from 'node:fs';\n" +
                     'const zindle = await Zindle.load();\n' +
                     `process.stdout.write(zindle.readSound(fs.readFileSync(${JSON.stringify(laser)})).renderWav());\n`);
    const run = spawnSync(process.execPath, ['main.js'], { cwd: game });
    assert.equal(run.status, 0, run.stderr.toString());
    assert.deepEqual(new Uint8Array(run.stdout), new Uint8Array(cliOk('render', laser, '-o', '-').stdout));
});
