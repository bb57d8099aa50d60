// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later
// A ZIP archive of stored entries, for story files that a test makes wrong on purpose.

const CRC_TABLE = Array.from({length: 256}, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; ++k)
        c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
});

function crc32(bytes) {
    let c = 0xffffffff;
    for (const byte of bytes)
        c = CRC_TABLE[(c ^ byte) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
}

function header(signature, length) {
    const bytes = Buffer.alloc(length);
    bytes.writeUInt32LE(signature, 0);
    return bytes;
}

// entries: [[name, Buffer], ...] in the archive's order.
export function zip(entries) {
    const parts = [];
    const directory = [];
    let offset = 0;
    for (const [name, data] of entries) {
        const fileName = Buffer.from(name, 'utf8');
        const local = header(0x04034b50, 30);
        local.writeUInt16LE(20, 4);            // version needed
        local.writeUInt16LE(0x0800, 6);        // names in UTF-8
        local.writeUInt32LE(crc32(data), 14);
        local.writeUInt32LE(data.length, 18);
        local.writeUInt32LE(data.length, 22);
        local.writeUInt16LE(fileName.length, 26);
        const central = header(0x02014b50, 46);
        central.writeUInt16LE(0x0314, 4);      // made on Unix
        local.copy(central, 6, 4, 30);         // the local header's fields, in the same order
        central.writeUInt32LE((0o100644 << 16) >>> 0, 38); // a regular file
        central.writeUInt32LE(offset, 42);
        parts.push(local, fileName, data);
        directory.push(central, fileName);
        offset += local.length + fileName.length + data.length;
    }
    const size = directory.reduce((sum, part) => sum + part.length, 0);
    const end = header(0x06054b50, 22);
    end.writeUInt16LE(entries.length, 8);
    end.writeUInt16LE(entries.length, 10);
    end.writeUInt32LE(size, 12);
    end.writeUInt32LE(offset, 16);
    return Buffer.concat([...parts, ...directory, end]);
}
