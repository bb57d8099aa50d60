// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/diagnostics.h"

#include <string_view>
#include <vector>

namespace vorta {

struct ByteFindings
{
    std::vector<Diagnostic> diagnostics;
    // The text reads as UTF-8: what the program shows would be garbled, and widths mean nothing.
    bool looksLikeUtf8 = false;
};

// What the decoding reader cannot see: line ends other than CR LF, UTF-8 text, and bytes that
// Windows-1251 leaves undefined. Lines are counted as the reader counts them (CR LF, a lone CR
// and a lone LF each end one line).
ByteFindings checkFileBytes(const std::u16string &path, std::string_view bytes);

} // namespace vorta
