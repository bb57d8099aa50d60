// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz_support.h"

#include "core/numbers.h"
#include "core/story_step.h"

#include <cstring>

using namespace vorta;

// A step-37 line as any bytes after a four-byte IQ value: the first marker and the character
// on each side of it give way to the value, everything else of the line stays in place.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qint32 iqValue = 0;
    const size_t head = qMin(size, sizeof iqValue);
    std::memcpy(&iqValue, data, head);
    const QString line = fuzz::decode1251(fuzz::bytesOf(data + head, size - head));

    const QString result = toQString(insertIqValue(toU16(line), iqValue));
    const qsizetype marker = line.indexOf(QLatin1String("IQ"));
    if (marker < 0) {
        fuzz::require(result == line, "a line without the marker stays as it is");
        return 0;
    }
    const QString value = toQString(numberText(iqValue));
    const QString front = line.left(qMax<qsizetype>(0, marker - 1));
    const QString tail = marker + 3 <= line.size() ? line.mid(marker + 3) : QString();
    fuzz::require(result.size() == front.size() + value.size() + tail.size(), "length");
    fuzz::require(result.startsWith(front), "the text before the marker stays");
    fuzz::require(result.endsWith(tail), "the text after the marker stays");
    fuzz::require(result.mid(front.size(), value.size()) == value, "the value in its place");
    fuzz::require(!result.left(front.size() + value.size()).contains(QLatin1String("IQ")),
                  "the first marker is gone");
    return 0;
}
