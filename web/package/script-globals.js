
// The player's copy: zindle-wasm.js (loaded first) holds the module's bytes,
// as a page opened from file:// may not fetch them.
async function defaultWasmBytes() {
    const hex = globalThis.ZINDLE_WASM_HEX;
    if (typeof hex !== 'string') throw new ZindleError('zindle-wasm.js was not loaded before zindle.js.', 'internal');
    const bytes = new Uint8Array(hex.length / 2);
    for (let i = 0; i < bytes.length; ++i) bytes[i] = parseInt(hex.substr(2 * i, 2), 16);
    return bytes;
}

globalThis.Zindle = Zindle;
globalThis.ZindleError = ZindleError;
