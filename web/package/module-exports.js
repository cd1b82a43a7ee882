
// zindle.wasm beside this module, read from the disk under Node.
async function defaultWasmBytes() {
    return zindleWasmBytes(new URL('zindle.wasm', import.meta.url));
}

export { Zindle, ZindleError, Sound };
export default Zindle;
