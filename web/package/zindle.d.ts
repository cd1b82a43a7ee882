// Types of the zindle package: libzindle in WebAssembly.

/** Why a call was refused: the C library's reason, and its kind. */
export class ZindleError extends Error {
    readonly name: 'ZindleError';
    /** The reason in English, as the C library and zindle-cli give it. */
    readonly reason: string;
    /** The kind of refusal: a bad argument, bytes that are no sound, or a fault. */
    readonly code: 'argument' | 'format' | 'memory' | 'buffer' | 'internal';
    /** For JSON text: where the reader stopped (1-based); otherwise undefined. */
    readonly line: number | undefined;
    readonly column: number | undefined;
}

/** Sample rates and widths a render may choose; 0 (the default) keeps the sound's own. */
export interface RenderOptions {
    rate?: 0 | 11025 | 22050 | 44100;
    bits?: 0 | 8 | 16;
}

/** Anything that makes an AudioBuffer: an AudioContext or OfflineAudioContext. */
export interface AudioBufferFactory {
    createBuffer(channels: number, length: number, sampleRate: number): AudioBuffer;
}

/** A sound read or made by the library; free() it when done. */
export class Sound {
    private constructor();
    readonly sampleRate: 11025 | 22050 | 44100;
    readonly bits: 8 | 16;
    /** How many times the render repeats the sound (1..10). */
    readonly repeatCount: number;
    /** The WAV file zindle-cli render writes (with the same --rate and --bits). */
    renderWav(options?: RenderOptions): Uint8Array;
    /** The WAV's data chunk: unsigned bytes at 8 bits (128 is silence), signed values at 16. */
    renderSamples(options?: RenderOptions): Uint8Array | Int16Array;
    /** The bytes of a .zdl file. */
    toZdl(): Uint8Array;
    /** The JSON text zindle-cli convert writes. */
    toJson(): string;
    /** The share code: "zindle1:" and the .zdl bytes in base64url, for a link or a chat line. */
    toShareCode(): string;
    /** A variation, as zindle-cli mutate --seed --amount makes it (amount 0..1, default 0.1). */
    mutate(seed: number | bigint, amount?: number): Sound;
    /** The render as a mono Web Audio buffer. */
    toAudioBuffer(context: AudioBufferFactory, options?: RenderOptions): AudioBuffer;
    /** Frees the sound's memory in the module; later calls throw. Safe to call twice. */
    free(): void;
}

export class Zindle {
    private constructor();
    /** Loads the module: from the wasm bytes or their URL, else from zindle.wasm beside zindle.mjs. */
    static load(source?: Uint8Array | ArrayBuffer | URL | string): Promise<Zindle>;
    /** The library's version, e.g. "0.3.0". */
    readonly version: string;
    /** The template names generate() takes, in zindle-cli templates' order. */
    readonly templates: readonly string[];
    /** Reads a .zdl or .efc file's bytes, JSON text (string or bytes) or a share code. */
    readSound(input: Uint8Array | ArrayBuffer | ArrayBufferView | string): Sound;
    /** The sound zindle-cli generate TEMPLATE --seed SEED writes (seed default 1). */
    generate(template: string, seed?: number | bigint): Sound;
}

export default Zindle;
