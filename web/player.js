// The web player: one sound at a time, read, made or changed through the
// zindle package (a classic script, so that the page also works from file://).
'use strict';

(function () {
    const $ = (id) => document.getElementById(id);
    const SHARE_PREFIX = 'zindle1:';
    // ?dump-wav puts the render into the page as base64, for a test that reads
    // the page with chromium --dump-dom.
    const dumpWav = new URLSearchParams(location.search).has('dump-wav');

    let zindle = null;
    let current = null;  // { sound, name, wav, samples }
    let audio = null;
    let playing = null;
    let mutations = 0;

    function showStatus(text, isError) {
        const status = $('status');
        status.textContent = text;
        status.classList.toggle('error', Boolean(isError));
    }

    function reasonOf(error) {
        return error instanceof ZindleError ? error.reason : String(error && error.message ? error.message : error);
    }

    // Makes `sound` the page's sound; the one before it is freed.
    function show(sound, name) {
        const wav = sound.renderWav();
        const samples = sound.renderSamples();
        if (current) current.sound.free();
        current = { sound, name, wav, samples };
        const rate = sound.sampleRate;
        $('info-name').textContent = name;
        $('info-duration').textContent = `${(samples.length / rate).toFixed(3)} s`;
        $('info-samples').textContent = String(samples.length);
        $('info-rate').textContent = `${rate} Hz`;
        $('info-bits').textContent = `${sound.bits} bits`;
        drawPlot(samples, sound.bits, sound.repeatCount);
        $('wav-dump').textContent = dumpWav ? base64(wav) : '';
        for (const id of ['play', 'stop', 'mutate', 'download-wav', 'download-json', 'download-zdl', 'copy-link'])
            $(id).disabled = false;
        $('link').textContent = '';
        showStatus('');
    }

    // Reads bytes or text; a refusal leaves the sound that was there.
    function read(input, name) {
        let sound;
        try {
            sound = zindle.readSound(input);
        } catch (error) {
            showStatus(`${name}: ${reasonOf(error)}`, true);
            return false;
        }
        show(sound, name);
        return true;
    }

    // The first repeat of the render, as columns from the lowest to the
    // highest sample; a column with a clipped sample is red, as in the editor.
    function drawPlot(samples, bits, repeats) {
        const canvas = $('plot');
        const ctx = canvas.getContext('2d');
        const width = canvas.width;
        const height = canvas.height;
        ctx.fillStyle = '#101418';
        ctx.fillRect(0, 0, width, height);
        ctx.strokeStyle = '#2c3640';
        ctx.beginPath();
        ctx.moveTo(0, height / 2 + 0.5);
        ctx.lineTo(width, height / 2 + 0.5);
        ctx.stroke();
        const count = Math.floor(samples.length / Math.max(repeats, 1));
        if (count === 0) return;
        const wide = bits === 16;
        const value = wide ? (s) => s / 32768 : (s) => (s - 128) / 128;
        const clipped = wide ? (s) => s >= 32767 || s <= -32767 : (s) => s <= 1 || s === 255;
        for (let x = 0; x < width; ++x) {
            const from = Math.floor((x * count) / width);
            const to = Math.max(from + 1, Math.floor(((x + 1) * count) / width));
            let low = Infinity;
            let high = -Infinity;
            let cut = false;
            for (let i = from; i < to && i < count; ++i) {
                const s = samples[i];
                low = Math.min(low, s);
                high = Math.max(high, s);
                cut = cut || clipped(s);
            }
            if (low === Infinity) continue;
            const top = Math.round((1 - value(high)) * (height / 2 - 1));
            const bottom = Math.round((1 - value(low)) * (height / 2 - 1));
            ctx.fillStyle = cut ? '#e0413a' : '#7fd1ae';
            ctx.fillRect(x, top, 1, Math.max(bottom - top, 1));
        }
    }

    function base64(bytes) {
        let text = '';
        for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        return btoa(text);
    }

    function download(bytes, type, extension) {
        const url = URL.createObjectURL(new Blob([bytes], { type }));
        const a = document.createElement('a');
        a.href = url;
        a.download = `${current.name.replace(/[^\w.-]+/g, '_').replace(/\.(zdl|json|efc)$/i, '')}.${extension}`;
        document.body.appendChild(a);
        a.click();
        a.remove();
        setTimeout(() => URL.revokeObjectURL(url), 1000);
    }

    function stop() {
        if (playing) {
            playing.onended = null;
            playing.stop();
            playing = null;
        }
    }

    function play() {
        stop();
        audio = audio || new AudioContext();
        const source = audio.createBufferSource();
        source.buffer = current.sound.toAudioBuffer(audio);
        source.connect(audio.destination);
        source.onended = () => {
            if (playing === source) playing = null;
        };
        source.start();
        playing = source;
    }

    function fromHash() {
        let hash;
        try {
            hash = decodeURIComponent(location.hash.slice(1)).trim();
        } catch (error) {
            showStatus(`The link cannot be read: ${reasonOf(error)}`, true);
            return;
        }
        if (hash.startsWith(SHARE_PREFIX)) read(hash, 'Shared sound');
    }

    function readPasted(text) {
        const trimmed = text.trim();
        const at = trimmed.indexOf('#' + SHARE_PREFIX);  // a whole link
        read(at >= 0 ? trimmed.slice(at + 1) : trimmed, trimmed.startsWith('{') ? 'Pasted JSON' : 'Pasted code');
    }

    async function readFile(file) {
        try {
            read(new Uint8Array(await file.arrayBuffer()), file.name);
        } catch (error) {
            showStatus(`${file.name}: ${reasonOf(error)}`, true);
        }
    }

    function wire() {
        for (const name of zindle.templates) $('template').add(new Option(name, name));
        $('generate').disabled = false;
        $('read-paste').disabled = false;

        $('play').onclick = play;
        $('stop').onclick = stop;
        $('generate').onclick = () => {
            const template = $('template').value;
            const seed = Number($('seed').value);
            try {
                show(zindle.generate(template, seed), `${template}, seed ${seed}`);
                $('seed').value = String(seed + 1);  // the next press makes a new one
            } catch (error) {
                showStatus(reasonOf(error), true);
            }
        };
        $('mutate').onclick = () => {
            const seed = ++mutations;
            try {
                const base = current.name.replace(/ \(variation \d+\)$/, '');
                show(current.sound.mutate(seed, Number($('amount').value)), `${base} (variation ${seed})`);
            } catch (error) {
                showStatus(reasonOf(error), true);
            }
        };
        $('download-wav').onclick = () => download(current.wav, 'audio/wav', 'wav');
        $('download-json').onclick = () => download(current.sound.toJson(), 'application/json', 'json');
        $('download-zdl').onclick = () => download(current.sound.toZdl(), 'application/octet-stream', 'zdl');
        $('copy-link').onclick = async () => {
            let link;
            try {
                link = `${location.href.replace(/#.*$/, '')}#${current.sound.toShareCode()}`;
            } catch (error) {
                showStatus(reasonOf(error), true);
                return;
            }
            $('link').textContent = link;
            try {
                await navigator.clipboard.writeText(link);
                showStatus('The link is on the clipboard.');
            } catch (error) {
                showStatus('The clipboard is closed to this page: copy the link below.');
            }
        };
        $('open').onchange = (event) => {
            if (event.target.files.length > 0) readFile(event.target.files[0]);
            event.target.value = '';
        };
        $('read-paste').onclick = () => readPasted($('paste').value);
        document.addEventListener('dragover', (event) => event.preventDefault());
        document.addEventListener('drop', (event) => {
            event.preventDefault();
            const file = event.dataTransfer.files[0];
            if (file) readFile(file);
            else readPasted(event.dataTransfer.getData('text/plain'));
        });
        // A paste outside the fields reads the clipboard's text at once.
        document.addEventListener('paste', (event) => {
            if (event.target.closest && event.target.closest('input, textarea, select')) return;
            readPasted(event.clipboardData.getData('text/plain'));
        });
        window.addEventListener('hashchange', fromHash);
    }

    async function start() {
        try {
            zindle = await Zindle.load();
        } catch (error) {
            showStatus(`The player could not start: ${reasonOf(error)}`, true);
            return;
        }
        wire();
        drawPlot([], 8, 1);
        if (location.hash.length > 1) fromHash();
        else $('generate').click();
    }

    start();
})();
