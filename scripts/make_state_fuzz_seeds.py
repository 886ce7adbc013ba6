#!/usr/bin/env python3
"""Writes the seed corpora of the state fuzzers into fuzz/corpus/<name>/.

The fuzzers load into an instance with 10 parameters (kinds cycling double
-24..24, bool, int 1..10, enum of 4, double 0..100), 3 presets and the
unique ID "MRV1"; the seeds are valid inputs for it, plus a few near misses.
The VST3 state fuzzers take one mode byte (bit 0: short reads fail, bit 1:
the stream starts half-way) before MORVANTE's state: 43 doubles in plain
units and the bypass flag as a 32-bit integer. The preset file fuzzer takes
.vstpreset files holding such states.
"""
import base64
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "fuzz", "corpus")
N_PARAMS = 10
VERSION_TAG = struct.pack("<ii", 0x70666674, 0x00010000)


def state(seed):
    values = []
    for i in range(N_PARAMS):
        kind = i % 5
        k = seed + 3 * i
        values.append([-24.0 + (k % 97) / 2.0, k % 2, 1 + k % 10, k % 4, (k % 97) * 1.03][kind])
    return struct.pack("<%dd" % N_PARAMS, *values)


def name_str(text):
    data = text.encode()
    return struct.pack("<i", len(data)) + data


def bank_state():
    return (name_str("First") + b"\x01" + state(1) + name_str("Second") + b"\x01" + state(2)
            + name_str("empty") + b"\x00")


def name28(text):
    return text.encode()[:27].ljust(28, b"\0")


def program_header(byte_size, fmt, name):
    return b"CcnK" + struct.pack(">i", byte_size) + fmt + struct.pack(">iiii", 1, 0x4D525631, 20000, N_PARAMS) + name28(name)


def param_program(name, seed):
    floats = [((seed + 7 * i) % 11) / 10.0 for i in range(N_PARAMS)]
    return program_header(0, b"FxCk", name) + struct.pack(">%df" % N_PARAMS, *floats)


def chunk_program(name, chunk):
    return program_header(len(chunk) + 60, b"FPCh", name) + struct.pack(">i", len(chunk)) + chunk


def bank_header(byte_size, fmt, n_programs, current):
    return (b"CcnK" + struct.pack(">i", byte_size) + fmt + struct.pack(">iiiii", 2, 0x4D525631, 20000, n_programs, current)
            + b"\0" * 124)


# MORVANTE's defaults in parameter order; 25 and 37 are never initialised.
MORVANTE_DEFAULTS = ([10.0, -2.7, 14000.0, 0.0] + [10.0, -2.7, 9000.0, 0.0, 2.0, 100.0, 0.0] + [2.0, 100.0, 0.0]
                     + [10.0, -2.7, 510.0, 0.0] + [10.0, -2.7, 1700.0, 0.0, 2.0, 100.0, 0.0] + [0.0]
                     + [10.0, -2.7, 4500.0, 0.0, 2.0, 100.0, 0.0] + [0.0] + [0.0, 100.0, 2.0] + [0.0]
                     + [0, 1, 0, 1, 0])


def morvante_state(values, bypass=0):
    return struct.pack("<%dd" % len(values), *values) + struct.pack("<i", bypass)


MORVANTE_CLASS_ID = b"F2AEE70D00DE4F4E506E76724D525631"


def preset_file(chunks, class_id=MORVANTE_CLASS_ID, version=1):
    """A .vstpreset file: header, the chunks, then the list of where they lie."""
    header_size = 4 + 4 + 32 + 8
    body = b""
    entries = []
    for chunk_id, data in chunks:
        entries.append((chunk_id, header_size + len(body), len(data)))
        body += data
    list_offset = header_size + len(body)
    listing = b"List" + struct.pack("<i", len(entries))
    for chunk_id, offset, size in entries:
        listing += chunk_id + struct.pack("<qq", offset, size)
    return b"VST3" + struct.pack("<i", version) + class_id + struct.pack("<q", list_offset) + body + listing


def write(fuzzer, name, data):
    folder = os.path.join(ROOT, fuzzer)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    write("fuzz_unserialize_params", "state.bin", state(3))
    write("fuzz_unserialize_params", "short.bin", state(4)[:-4])

    write("fuzz_unserialize_presets", "bank.bin", bank_state())
    write("fuzz_unserialize_presets", "cut_name.bin", bank_state()[:-3])

    write("fuzz_load_fxp", "param.fxp", param_program("Params", 1))
    tagged = VERSION_TAG + state(5)
    write("fuzz_load_fxp", "chunk.fxp", chunk_program("Chunk", tagged))
    write("fuzz_load_fxp", "chunk_untagged.fxp", chunk_program("Untagged", state(6)))

    records = b"".join(param_program("P%d" % i, i) for i in range(3))
    write("fuzz_load_fxb", "param.fxb", bank_header(0, b"FxBk", 3, 1) + records)
    chunk = VERSION_TAG + bank_state()
    write("fuzz_load_fxb", "chunk.fxb", bank_header(len(chunk) + 160, b"FBCh", 3, 0) + struct.pack(">i", len(chunk)) + chunk)

    write("fuzz_read_str_at", "names.bin", name_str("First") + name_str("") + name_str("with\0nul"))
    write("fuzz_read_str_at", "negative.bin", struct.pack("<i", -5) + b"abc")

    blob = base64.b64encode(state(7))
    write("fuzz_preset_blob", "state.txt", struct.pack("<H", 80 + 16) + blob)
    write("fuzz_preset_blob", "cut.txt", struct.pack("<H", 80 + 16) + blob[:50])

    boosted = list(MORVANTE_DEFAULTS)
    boosted[3], boosted[17], boosted[33] = 24.0, -24.0, 6.0
    hostile = [float("nan"), float("inf"), -float("inf"), 1e308] * 11
    for fuzzer in ("fuzz_controller_state", "fuzz_component_state"):
        write(fuzzer, "default.bin", b"\x00" + morvante_state(MORVANTE_DEFAULTS))
        write(fuzzer, "bypassed.bin", b"\x00" + morvante_state(boosted, 1))
        write(fuzzer, "short_reads.bin", b"\x01" + morvante_state(MORVANTE_DEFAULTS)[:-40])
        write(fuzzer, "hostile.bin", b"\x00" + morvante_state(hostile[:43], -7))
        write(fuzzer, "mid_stream.bin", b"\x02" + morvante_state(boosted) * 2)

    component = morvante_state(boosted)
    write("fuzz_preset_file", "component.vstpreset", preset_file([(b"Comp", component)]))
    write("fuzz_preset_file", "both.vstpreset",
          preset_file([(b"Comp", component), (b"Cont", morvante_state(MORVANTE_DEFAULTS, 1))]))
    write("fuzz_preset_file", "controller_only.vstpreset", preset_file([(b"Cont", component)]))
    write("fuzz_preset_file", "hostile.vstpreset", preset_file([(b"Comp", morvante_state(hostile[:43], -7))]))
    write("fuzz_preset_file", "other_plugin.vstpreset", preset_file([(b"Comp", component)], class_id=b"0" * 32))
    write("fuzz_preset_file", "short_chunk.vstpreset", preset_file([(b"Comp", component[:-8])]))


if __name__ == "__main__":
    main()
