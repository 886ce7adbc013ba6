#!/usr/bin/env python3
"""Compares two 32-bit float WAV files sample by sample; exits 1 unless they are identical."""
import array
import math
import struct
import sys


def read_float_wav(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:4] != b'RIFF' or data[8:12] != b'WAVE':
        sys.exit(f'{path}: not a RIFF/WAVE file')
    pos, channels, frames = 12, None, None
    while pos + 8 <= len(data):
        cid, size = data[pos:pos + 4], struct.unpack('<I', data[pos + 4:pos + 8])[0]
        body = data[pos + 8:pos + 8 + size]
        if cid == b'fmt ':
            tag, channels, _, _, _, bits = struct.unpack('<HHIIHH', body[:16])
            if tag == 0xFFFE:  # WAVE_FORMAT_EXTENSIBLE: the sub-format's first two bytes
                tag = struct.unpack('<H', body[24:26])[0]
            if tag != 3 or bits != 32:
                sys.exit(f'{path}: not 32-bit float (format {tag}, {bits} bits)')
        elif cid == b'data':
            frames = array.array('f')
            frames.frombytes(body)
        pos += 8 + size + (size & 1)
    return [frames[c::channels] for c in range(channels)]


def dbfs(x):
    return '-inf' if x == 0 else f'{20 * math.log10(x):.1f}'


def main():
    a_path, b_path = sys.argv[1:3]
    a, b = read_float_wav(a_path), read_float_wav(b_path)
    same = len(a) == len(b) and len(a[0]) == len(b[0])
    print(f'{a_path} vs {b_path}: {len(a)} / {len(b)} channels, {len(a[0])} / {len(b[0])} frames')
    for c, (ca, cb) in enumerate(zip(a, b)):
        diffs = [abs(x - y) for x, y in zip(ca, cb) if x != y]
        peak = max(abs(x) for x in ca)
        print(f'  ch{c}: max |a-b| = {max(diffs, default=0.0):.3e} ({dbfs(max(diffs, default=0.0))} dBFS), '
              f'{len(diffs)} samples differ, peak a = {dbfs(peak)} dBFS')
        same = same and not diffs
    print('  identical' if same else '  DIFFERENT')
    sys.exit(0 if same else 1)


if __name__ == '__main__':
    main()
