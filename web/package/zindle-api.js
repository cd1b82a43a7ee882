// Zindle's JavaScript API over libzindle's C functions in WebAssembly. Every
// byte comes from the C library, so a sound renders here exactly as zindle-cli
// renders it. Follows emscripten's loader (ZindleModule); the file that
// includes it supplies defaultWasmBytes() and the exports.

const ZINDLE_ERROR_CODES = { 1: 'argument', 2: 'format', 3: 'memory', 4: 'buffer', 5: 'internal' };
const ZINDLE_ERROR_SIZE = 1024;
const ZINDLE_MAX_SEED = (1n << 64n) - 1n;

class ZindleError extends Error {
    constructor(reason, code = 'internal') {
        super(reason);
        this.name = 'ZindleError';
        this.reason = reason;
        this.code = code;
        // A JSON text's reasons start with where the reader stopped.
        const at = /^line (\d+), column (\d+): /.exec(reason);
        this.line = at ? Number(at[1]) : undefined;
        this.column = at ? Number(at[2]) : undefined;
    }
}

function zindleBytes(input, what) {
    if (input instanceof Uint8Array) return input;
    if (input instanceof ArrayBuffer) return new Uint8Array(input);
    if (ArrayBuffer.isView(input)) return new Uint8Array(input.buffer, input.byteOffset, input.byteLength);
    if (typeof input === 'string') return new TextEncoder().encode(input);
    throw new ZindleError(`${what} must be a Uint8Array, an ArrayBuffer or a string.`, 'argument');
}

// The two 32-bit halves of a uint64_t argument, as emscripten passes them.
function zindleSeedHalves(seed) {
    let value;
    if (typeof seed === 'bigint') value = seed;
    else if (Number.isSafeInteger(seed)) value = BigInt(seed);
    else value = -1n;
    if (value < 0n || value > ZINDLE_MAX_SEED)
        throw new ZindleError(`The seed ${String(seed)} is not a whole number from 0 to 2^64 - 1.`, 'argument');
    return [Number(value & 0xffffffffn), Number(value >> 32n)];
}

// One loaded module: C calls with a shared scratch area for the outputs and
// the reason (JavaScript runs one call at a time).
class ZindleRuntime {
    constructor(module) {
        this.module = module;
        this.scratch = module._malloc(16 + ZINDLE_ERROR_SIZE);
        if (!this.scratch) throw new ZindleError('out of memory', 'memory');
        this.error = this.scratch + 16;
        // Sounds dropped without free() are freed when collected.
        this.registry = new FinalizationRegistry((pointer) => module._zindle_sound_free(pointer));
    }

    get heap() {
        return this.module.HEAPU8;  // a new view whenever the memory grew
    }

    pointerAt(address) {
        return new Uint32Array(this.heap.buffer, address, 1)[0];
    }

    text(address) {
        const heap = this.heap;
        let end = address;
        while (heap[end] !== 0) ++end;
        return new TextDecoder().decode(heap.subarray(address, end));
    }

    // Calls a C function whose last two arguments are the reason's buffer.
    check(code) {
        if (code === 0) return;
        throw new ZindleError(this.text(this.error), ZINDLE_ERROR_CODES[code] || 'internal');
    }

    call(name, ...args) {
        this.heap[this.error] = 0;
        this.check(this.module['_' + name](...args, this.error, ZINDLE_ERROR_SIZE));
    }

    // Copies `bytes` into the module for the length of `body`.
    withBytes(bytes, body) {
        const address = this.module._malloc(Math.max(bytes.length, 1));
        if (!address) throw new ZindleError('out of memory', 'memory');
        try {
            this.heap.set(bytes, address);
            return body(address);
        } finally {
            this.module._free(address);
        }
    }

    withText(text, body) {
        const bytes = new TextEncoder().encode(text);
        const terminated = new Uint8Array(bytes.length + 1);
        terminated.set(bytes);
        return this.withBytes(terminated, body);
    }

    // Calls a C function that hands out a malloc'd buffer and its size, and
    // returns a copy of the buffer.
    takeBuffer(name, ...args) {
        const out = this.scratch;
        const size = this.scratch + 4;
        this.call(name, ...args, out, size);
        const address = this.pointerAt(out);
        const length = this.pointerAt(size);
        const copy = this.heap.slice(address, address + length);
        this.module._zindle_free(address);
        return copy;
    }

    // Calls a C function that makes a sound, and wraps it.
    makeSound(name, ...args) {
        const out = this.scratch;
        this.call(name, ...args, out);
        return new Sound(this, this.pointerAt(out));
    }
}

// A sound read or made by the library. Free it with free() when done; one
// that is only dropped is freed when collected.
class Sound {
    #runtime;
    #pointer;

    constructor(runtime, pointer) {
        this.#runtime = runtime;
        this.#pointer = pointer;
        runtime.registry.register(this, pointer, this);
    }

    #live() {
        if (!this.#pointer) throw new ZindleError('The sound was freed.', 'argument');
        return this.#pointer;
    }

    get sampleRate() {
        return this.#runtime.module._zindle_sound_sample_rate(this.#live());
    }
    get bits() {
        return this.#runtime.module._zindle_sound_bits(this.#live());
    }
    get repeatCount() {
        return this.#runtime.module._zindle_sound_repeat_count(this.#live());
    }

    renderWav({ rate = 0, bits = 0 } = {}) {
        return this.#runtime.takeBuffer('zindle_sound_render_wav', this.#live(), rate, bits);
    }

    // The samples of the WAV's data chunk: unsigned bytes at 8 bits (128 is
    // silence), signed 16-bit values at 16.
    renderSamples({ rate = 0, bits = 0 } = {}) {
        const runtime = this.#runtime;
        const sound = this.#live();
        const size = runtime.scratch + 4;
        runtime.call('zindle_sound_render_samples', sound, rate, bits, 0, 0, size);
        const length = runtime.pointerAt(size);
        const address = runtime.module._malloc(Math.max(length, 1));
        if (!address) throw new ZindleError('out of memory', 'memory');
        try {
            runtime.call('zindle_sound_render_samples', sound, rate, bits, address, length, size);
            const bytes = runtime.heap.slice(address, address + length);
            const wide = bits === 16 || (bits === 0 && this.bits === 16);
            return wide ? new Int16Array(bytes.buffer, 0, length >> 1) : bytes;
        } finally {
            runtime.module._free(address);
        }
    }

    toZdl() {
        return this.#runtime.takeBuffer('zindle_sound_write_zdl', this.#live());
    }

    toJson() {
        return new TextDecoder().decode(this.#runtime.takeBuffer('zindle_sound_write_json', this.#live()));
    }

    // "zindle1:" and the .zdl bytes in base64url; readSound reads it back.
    toShareCode() {
        return new TextDecoder().decode(this.#runtime.takeBuffer('zindle_sound_write_share_code', this.#live()));
    }

    mutate(seed, amount = 0.1) {
        if (typeof amount !== 'number') throw new ZindleError('The amount must be a number from 0 to 1.', 'argument');
        const [low, high] = zindleSeedHalves(seed);
        return this.#runtime.makeSound('zindle_sound_mutate', this.#live(), low, high, amount);
    }

    // A Web Audio buffer of the render (at the sound's own rate unless
    // `rate` is given), for an AudioBufferSourceNode.
    toAudioBuffer(audioContext, { rate = 0, bits = 0 } = {}) {
        const samples = this.renderSamples({ rate, bits });
        const buffer = audioContext.createBuffer(1, Math.max(samples.length, 1), rate || this.sampleRate);
        const channel = buffer.getChannelData(0);
        const wide = samples instanceof Int16Array;
        for (let i = 0; i < samples.length; ++i) channel[i] = wide ? samples[i] / 32768 : (samples[i] - 128) / 128;
        return buffer;
    }

    free() {
        if (!this.#pointer) return;
        this.#runtime.registry.unregister(this);
        this.#runtime.module._zindle_sound_free(this.#pointer);
        this.#pointer = 0;
    }
}

async function zindleWasmBytes(source) {
    if (source === undefined) return defaultWasmBytes();
    if (source instanceof ArrayBuffer || ArrayBuffer.isView(source)) return zindleBytes(source, 'The wasm');
    const url = source instanceof URL ? source : typeof source === 'string' ? source : null;
    if (url === null) throw new ZindleError('Zindle.load takes the wasm bytes or their URL.', 'argument');
    const onNode = typeof process === 'object' && process.versions && process.versions.node;
    if (onNode && !/^(https?|data|blob):/i.test(String(url))) {
        const fs = await import('node:fs/promises');
        return new Uint8Array(await fs.readFile(String(url).startsWith('file:') ? new URL(url) : url));
    }
    const response = await fetch(url);
    if (!response.ok) throw new ZindleError(`${url}: HTTP status ${response.status}.`, 'argument');
    return new Uint8Array(await response.arrayBuffer());
}

class Zindle {
    #runtime;

    constructor(runtime) {
        this.#runtime = runtime;
        const names = [];
        for (let i = 0, n = runtime.module._zindle_template_count(); i < n; ++i)
            names.push(runtime.text(runtime.module._zindle_template_name(i)));
        this.templates = Object.freeze(names);
        this.version = runtime.text(runtime.module._zindle_version());
        Object.freeze(this);
    }

    // Loads the module: from the bytes or URL given, else from zindle.wasm
    // beside this file.
    static async load(source) {
        const wasmBinary = await zindleWasmBytes(source);
        let module;
        try {
            module = await ZindleModule({ wasmBinary, print() {}, printErr() {} });
        } catch (error) {
            throw new ZindleError(`The WebAssembly module did not load: ${error && error.message ? error.message : error}`,
                                  'internal');
        }
        return new Zindle(new ZindleRuntime(module));
    }

    // A .zdl or .efc file's bytes, JSON text (as a string or its bytes) or a
    // share code.
    readSound(input) {
        const runtime = this.#runtime;
        const bytes = zindleBytes(input, 'A sound');
        return runtime.withBytes(bytes, (address) =>
            runtime.makeSound('zindle_sound_read', address, bytes.length));
    }

    generate(template, seed = 1) {
        if (typeof template !== 'string')
            throw new ZindleError('The template must be one of zindle.templates.', 'argument');
        const runtime = this.#runtime;
        const [low, high] = zindleSeedHalves(seed);
        return runtime.withText(template, (name) => runtime.makeSound('zindle_sound_generate', name, low, high));
    }
}
