#!/usr/bin/env python3
"""Writes the committed test files: sample sounds for the command-line tests
and the seed corpus that the reader replay test and the fuzzers start from.
Run it from this folder; the output is deterministic."""
import math
import os
import struct


def zdl(amp, freq, waveform=100, length=0.2, distort=0.0, echo_volume=0.0, echo_delay=0.0,
        repeats=1, bits=8, rate=11025, version=1001):
    out = struct.pack('<i', version)
    for curve in (amp, freq):
        out += struct.pack('<i', len(curve))
        for t, v in curve:
            out += struct.pack('<ff', t, v)
    out += struct.pack('<iffffi', waveform, length, distort, echo_volume, echo_delay, repeats)
    if version != 1000:
        out += struct.pack('<H', bits)
    return out + struct.pack('<I', rate)


def efc(amp, freq, entry20=math.sin(math.radians(20)), echo_volume=0, echo_delay=0, distort=0,
        rate=11025, samples=4410, repeats=1, counts=None):
    b = bytearray(1578)
    na, nf = counts if counts else (len(amp), len(freq))
    struct.pack_into('<hh', b, 4, na, nf)
    for base, curve in ((8, amp), (56, freq)):
        for i, (t, v) in enumerate(curve[:12]):
            struct.pack_into('<hh', b, base + 4 * i, t, v)
    for i in range(360):
        struct.pack_into('<f', b, 104 + 4 * i, math.sin(math.radians(i)))
    struct.pack_into('<f', b, 104 + 4 * 20, entry20)
    struct.pack_into('<hhh', b, 1544, echo_volume, echo_delay, distort)
    struct.pack_into('<i', b, 1560, rate)
    struct.pack_into('<I', b, 1568, samples)
    struct.pack_into('<h', b, 1576, repeats)
    return bytes(b)


NEW_AMP = [(i / 5, 0.75) for i in range(6)]
NEW_AMP[-1] = (1.0, 0.0)
NEW_FREQ = [(i / 5, 0.5) for i in range(6)]

OLD_AMP = [(0, 192), (64, 192), (256, 0)]
OLD_FREQ = [(0, 128), (256, 128)]

# Sample sounds used by the command-line tests.
samples = {
    'new.zdl': zdl(NEW_AMP, NEW_FREQ),
    'laser.zdl': zdl([(0, 1), (0.1, 0.8), (1, 0)], [(0, 0.9), (1, 0.2)], waveform=200, length=0.3,
                     echo_volume=0.5, echo_delay=0.25, repeats=2, bits=16, rate=22050),
    'old-v1000.zdl': zdl([(0, 0.5), (1, 0.5)], [(0, 0.5), (1, 0.5)], rate=44100, version=1000),
    'boom.efc': efc(OLD_AMP, [(0, 100), (256, 20)], entry20=1.0, echo_volume=64, echo_delay=32,
                    samples=8820, repeats=3),
    'bad-rate.zdl': zdl(NEW_AMP, NEW_FREQ, rate=8000),
    'short.efc': efc(OLD_AMP, OLD_FREQ)[:1000],
}

# Seeds for the readers: the samples and a few more, valid and not.
corpus = {
    'zdl/new-16bit-44k.zdl': zdl(NEW_AMP, NEW_FREQ, bits=16, rate=44100),
    'zdl/version-999.zdl': zdl(NEW_AMP, NEW_FREQ, version=999),
    'zdl/out-of-range.zdl': zdl([(0.5, -1), (0.2, 2), (0.9, 0.5)], [(-1, 0.5), (2, 0.5)],
                                length=3, distort=-1, repeats=50),
    'zdl/nan-length.zdl': zdl(NEW_AMP, NEW_FREQ, length=float('nan')),
    'zdl/huge-count.zdl': struct.pack('<ii', 1001, 0x7FFFFFFF) + bytes(40),
    'zdl/truncated.zdl': zdl(NEW_AMP, NEW_FREQ)[:71],
    'efc/organ-12-points.efc': efc([(i * 23, 100 + i) for i in range(12)], [(0, 0), (256, 256)],
                                   entry20=0.6395, distort=300, rate=44100, samples=441000),
    'efc/count-13.efc': efc(OLD_AMP, OLD_FREQ, counts=(13, 2)),
    'efc/rate-zero.efc': efc(OLD_AMP, OLD_FREQ, rate=0),
}
for name, data in samples.items():
    corpus[('efc/' if name.endswith('efc') else 'zdl/') + name] = data

files = {'sounds/' + k: v for k, v in samples.items()}
files.update({'corpus/' + k: v for k, v in corpus.items()})
for name, data in files.items():
    os.makedirs(os.path.dirname(name), exist_ok=True)
    with open(name, 'wb') as f:
        f.write(data)
