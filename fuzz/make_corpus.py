#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/<target>/. Every seed is made
here from scratch: small tape images, WAV recordings of a synthetic tape
signal, monitor scripts, ROM folder layouts, typed text and Z80 programs.
Files named regression-* are inputs a target once failed on; they are kept
in the corpus as found and are not written here."""
import math
import os
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def put(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(bytes(data))


def record(text):
    """A line record: length byte, two line-number bytes, text, CR."""
    body = bytes([0x0A, 0x00]) + text.encode("ascii") + b"\r"
    return bytes([len(body) + 1]) + body


PROGRAM = record('PRINT "HEJ"') + record("GOTO 10") + record("END")


def atp_block(data, lead_in=32):
    assert len(data) == 256
    return bytes(lead_in) + b"\x16\x16\x16\x02" + data + b"\x03\x12\x34"


def data_block(number, payload, marker=False):
    body = (b"\x82" if marker else b"") + payload
    body = body + b"\r\x00" if len(body) < 253 else body
    body = body[:253].ljust(253, b"\x00")
    return atp_block(b"\x00" + struct.pack("<H", number) + body, lead_in=0 if number == 0 else 32)


def bac_segments(records):
    out, used = bytearray(b"\x82"), 1
    for r in records:
        if used + len(r) > 256:
            out += bytes(256 - used)
            used = 0
        out += r
        used += len(r)
    return out


def tape_images():
    header = atp_block(b"\xff\xff\xff" + b"PROG    BAS".ljust(253, b" "), lead_in=0)
    put("tape_image", "atp-two-blocks", b"\x00" + header + data_block(0, PROGRAM, True)
        + data_block(1, PROGRAM))
    put("tape_image", "atp-stops-at-lead-in", b"\x00" + data_block(0, PROGRAM) + bytes(34) + b"\x16")
    put("tape_image", "bac-segments", b"\x01" + bac_segments([record("REM " + "X" * 60)] * 6))
    put("tape_image", "bac-blocks", b"\x01" + (b"\x82" + PROGRAM).ljust(506, b"\x00"))
    put("tape_image", "bas-text", b"\x02" + b'10 PRINT "HEJ"\r20 GOTO 10\rRUN\r')
    put("tape_image", "bas-bac", b"\x02" + bac_segments([PROGRAM]))


def wav_header(rate, channels=1, bits=8, fmt=1, data_len=0):
    block = channels * bits // 8
    return (b"RIFF" + struct.pack("<I", 36 + data_len) + b"WAVEfmt " +
            struct.pack("<IHHIIHH", 16, fmt, channels, rate, rate * block, block, bits) +
            b"data" + struct.pack("<I", data_len))


def tape_levels(data, rate):
    """The cassette signal of bytes, least significant bit first: a 0 bit is
    one long interval, a 1 bit two short ones."""
    long_len, short_len = round(rate * 0.00143), round(rate * 0.000715)
    levels, level = [], 1
    for byte in data:
        for bit in range(8):
            for length in ([short_len, short_len] if byte >> bit & 1 else [long_len]):
                levels += [level] * length
                level ^= 1
    return levels


def wav_8bit(levels, rate):
    samples = bytes(0xC0 if v else 0x40 for v in levels)
    return wav_header(rate, data_len=len(samples)) + samples


def wav_16bit_stereo(levels, rate):
    samples = b"".join(struct.pack("<hh", 12000 if v else -12000, 0) for v in levels)
    return wav_header(rate, channels=2, bits=16, data_len=len(samples)) + samples


def wav_float(levels, rate):
    samples = b"".join(struct.pack("<f", 0.5 if v else -0.5) for v in levels)
    return wav_header(rate, bits=32, fmt=3, data_len=len(samples)) + samples


TAPE_BYTES = bytes(8) + b"\x16\x16\x16\x02\x00\x00\x00" + PROGRAM[:12]


def wavs():
    levels = tape_levels(TAPE_BYTES, 11025)
    put("wav_tape", "8bit-11025", b"\x00" + wav_8bit(levels, 11025))
    put("wav_tape", "8bit-paused", b"\x35" + wav_8bit(levels, 11025))
    put("wav_tape", "16bit-stereo", b"\x00" + wav_16bit_stereo(levels[:600], 11025))
    put("wav_tape", "float", b"\x00" + wav_float(levels[:400], 11025))
    onebit = wav_header(8000, bits=1, data_len=64) + bytes([0xF0, 0x0F, 0xCC, 0x33] * 16)
    put("wav_tape", "1bit", b"\x00" + onebit)
    put("wav_tape", "header-only", b"\x00" + wav_header(44100))
    put("wav_tape", "not-riff", b"\x00" + b"hello, this is no wave file" * 4)
    for name, data in [("8bit-22050", wav_8bit(tape_levels(TAPE_BYTES, 22050), 22050)),
                       ("16bit-stereo", wav_16bit_stereo(tape_levels(TAPE_BYTES, 22050), 22050)),
                       ("float", wav_float(tape_levels(TAPE_BYTES[:12], 11025), 11025))]:
        put("dravik", name, b"\x02" + data)
    put("dravik", "default-output", b"\x05" + wav_8bit(tape_levels(TAPE_BYTES, 11025), 11025))
    put("dravik", "no-data-chunk", b"\x02" + wav_header(8000)[:36] + b"LIST\x04\x00\x00\x00abcd")
    # A whole block with its checksum, so the block checks run.
    data = (b"\x00\x00\x00\x82" + PROGRAM).ljust(256, b"\x00")[:256]
    checksum = (sum(data) + 3) & 0xFFFF
    block = bytes(4) + b"\x16\x16\x16\x02" + data + b"\x03" + struct.pack("<H", checksum) + bytes(2)
    put("dravik", "whole-block", b"\x02" + wav_8bit(tape_levels(block, 8000), 8000))
    # 24-bit samples behind a LIST chunk with "data" in its comment.
    levels = tape_levels(TAPE_BYTES, 8000)
    samples = b"".join(struct.pack("<i", 3000000 if v else -3000000)[:3] for v in levels)
    header = wav_header(8000, bits=24, data_len=len(samples))
    comment = b"LIST" + struct.pack("<I", 12) + b"INFOdata tape"[:12]
    put("dravik", "24bit-list", b"\x02" + header[:12] + comment + header[12:] + samples)
    # WAVE_FORMAT_EXTENSIBLE with float samples.
    samples = b"".join(struct.pack("<f", 0.3 if v else -0.3) for v in tape_levels(TAPE_BYTES[:12], 8000))
    fmt = (struct.pack("<HHIIHHHHI", 0xFFFE, 1, 8000, 32000, 4, 32, 22, 32, 0) + b"\x03\x00" +
           bytes([0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71]))
    wav = (b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(samples)) + b"WAVEfmt " +
           struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(samples)) + samples)
    put("dravik", "extensible-float", b"\x02" + wav)
    # Odd second byte: the header field by field (tag, channels, rate in two
    # words, block align, bits, "fmt " size, "data" size in two words, body
    # in KB), then the bytes that fill the body.
    fields = struct.pack("<BHHHHHHHHHB", 1, 1, 1, 44100, 0, 2, 16, 16, 4096, 0, 1)
    put("dravik", "structured-16bit", b"\x02" + fields + bytes([0, 0x40, 0, 0xC0] * 8))


def disk():
    image = bytes([4, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88])  # 4 patched image bytes
    reads = bytes([0x00, 0x00, 0x00, 0x05, 0x00, 0x0F])  # whole read commands of sectors 0, 5, 15
    raw = bytes([0x40 | 5, 0x03, 0x40 | 5, 0x00, 0x40 | 5, 0x00, 0x40 | 5, 0x02]) + bytes([0x85]) * 8
    write = bytes([0x45, 0x0C, 0x45, 0x00, 0x45, 0x00, 0x45, 0x01]) + bytes([0x45, 0xAA]) * 256
    put("disk_card", "reads", image + b"\x01" + reads)
    put("disk_card", "raw-commands", image + b"\x00" + raw + bytes([0x8D]))
    put("disk_card", "write-refused", image + b"\x02" + write + bytes([0x8D, 0x85]))
    put("disk_card", "bad-sector-other-cards", image + b"\x03" + bytes([0x40, 0x01, 0x41, 0x99, 0x4C, 0x00]))


def monitor():
    scripts = {
        "help-registers": "?\nr\nx\n",
        "modify-dump": ":8000 3E 01 C9\n: 8010 AA BB\n:\nm 8000 8020\nx\n",
        "fill-hunt-transfer": "f 8000 80FF 55\nh 8000 9000 55 55\nt 8000 80FF 9000\nm 9000 9010\nx\n",
        "breakpoints": "b 8000\nb 9000 rw\nb\nb 8000\nz\nz\nr\nx\n",
        "disassemble": "d 0 40\nd 0 100 list.txt\nx\n",
        "load-save": "l @ 8000\nl @ 8100 8103\ns saved.bin 8000 80FF\nl saved.bin A000\nx\n",
        "go-step": "g 8000\n:8000 00 00 C3 00 80\nz\nz\nz\nz\nr\nx\n",
        "bad-lines": "q\n:zz\nm\nf 1\nh 8000\nt 9000 8000 1\nb 1 2 3\n" + "z" * 300 + "\n",
    }
    for name, text in scripts.items():
        put("monitor", name, text.encode("ascii"))


def roms():
    def chunk(name, shape, content):
        return bytes([name | shape << 3, len(content)]) + content
    code = bytes([0xF3, 0x31, 0x00, 0x80, 0x3E, 0x41, 0x32, 0x00, 0x7C, 0x18, 0xFE])
    put("rom_folder", "old-basic", chunk(3, 1, code))
    put("rom_folder", "new-basic-and-dos", chunk(7, 2, code) + chunk(0, 3, code) + chunk(2, 3, code))
    put("rom_folder", "external", chunk(4, 0, code * 3))
    put("rom_folder", "wrong-sizes", chunk(1, 0, code) + chunk(5, 3, code) + chunk(6, 1, code))


def typed():
    texts = {
        "program": b'10 PRINT "HEJ"\r20 GOTO 10\rRUN\r',
        "crlf": b"10 A=1\r\n20 PRINT A\r\n",
        "swedish": "10 PRINT \"ÅÄÖ åäö É é Ü ü\"\n".encode("utf-8"),
        "signs-and-tabs": b"@[\\]^`{|}~\tA\x01\x7f",
        "line-separators": "A\u2028B\u2029C".encode("utf-8"),
        "high-bytes": bytes(range(0x80, 0x100)),
    }
    for name, data in texts.items():
        put("typed_text", name, data)


def cpu():
    regs = struct.pack("<8H", 0x1234, 0x0010, 0x8000, 0x9000, 0x4000, 0x5000, 0xFF00, 0x0000)
    def seed(control, program):
        budgets = struct.pack("<16H", *[100, 500, 0, 3000] * 4)
        return regs + bytes([0x00, 0x7F, control, 0xFE, 0x07]) + budgets + program
    put("cpu", "loop", seed(0x00, bytes([0x3E, 0x01, 0x3C, 0x18, 0xFD])))
    put("cpu", "block-copy", seed(0x00, bytes([0x21, 0, 0x80, 0x11, 0, 0x90, 0x01, 0, 1, 0xED, 0xB0, 0x76])))
    put("cpu", "im2-interrupt", seed(0x1E, bytes([0xED, 0x5E, 0xFB, 0x00, 0x18, 0xFD])))
    put("cpu", "nmi-halt", seed(0x20, bytes([0x76])))
    put("cpu", "prefixes", seed(0x00, bytes([0xDD, 0xCB, 0x05, 0x06, 0xFD, 0x21, 0, 0, 0xED, 0x00,
                                           0xDD, 0xDD, 0xFD, 0x7E, 0x01, 0xCB, 0x10, 0xED, 0xA1])))
    put("cpu", "zero-cycle", seed(0x00, bytes([0xED, 0x00])))
    put("cpu", "ports", seed(0x00, bytes([0xDB, 0x38, 0xD3, 0x3A, 0xED, 0x78, 0xED, 0xB2])))


if __name__ == "__main__":
    tape_images()
    wavs()
    disk()
    monitor()
    roms()
    typed()
    cpu()
    sys.exit(0)
