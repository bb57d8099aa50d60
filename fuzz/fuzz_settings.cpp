// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fuzz_support.h"

#include "core/data_files.h"
#include "core/story_state.h"
#include "core/tree_paths.h"

#include <limits>

using namespace vorta;

namespace {

bool fitsInt32(qint64 value)
{
    return value >= std::numeric_limits<qint32>::min() &&
           value <= std::numeric_limits<qint32>::max();
}

} // namespace

// The settings file as any bytes: the two readers agree with each other, fail only with a
// StoryError, and whatever reads back through the written form reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const DataTree dir = fuzz::dataTree();
    fuzz::writeDataFile(toQString(kSettingsFile), fuzz::bytesOf(data, size));

    std::pair<qint32, qint32> values;
    const bool read =
        fuzz::readsOrNamesTheFile(kSettingsFile, [&] { values = readSettingsValues(dir); });
    StoryState state;
    const bool loaded = fuzz::readsOrNamesTheFile(kSettingsFile, [&] { loadSettings(state, dir); });
    // Over the cap the file is refused whole, whatever it holds.
    if (qint64(size) > kSettingsFileCap) {
        fuzz::require(!read && !loaded, "a settings file over the cap does not read");
        return 0;
    }
    if (!read) {
        fuzz::require(!loaded, "loadSettings fails where the values do not read");
        return 0;
    }

    const qint64 period = qint64(values.first) * 5000;
    const qint64 percent = qint64(values.second) * 10;
    fuzz::require(loaded == (fitsInt32(period) && fitsInt32(percent)),
                  "loadSettings fails exactly when a product overflows");
    if (loaded) {
        fuzz::require(state.autoPeriodMs == (period == 0 ? 1000 : period), "autoPeriodMs");
        fuzz::require(state.switchPercent == percent, "switchPercent");
    }

    saveSettings(dir, values.first, values.second);
    fuzz::require(readSettingsValues(dir) == values, "saved settings read back the same");
    return 0;
}
