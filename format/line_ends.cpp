// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "line_ends.h"

namespace vorta {

namespace {

template <typename View> qsizetype lineEndIn(View view, qsizetype pos)
{
    if (pos < 0 || pos >= view.size())
        return 0;
    const auto c = view.at(pos);
    if (c == u'\n')
        return 1;
    if (c != u'\r')
        return 0;
    return pos + 1 < view.size() && view.at(pos + 1) == u'\n' ? 2 : 1;
}

template <typename View> QList<LineSpan> spansOf(View view)
{
    QList<LineSpan> spans;
    qsizetype start = 0;
    for (qsizetype i = 0; i < view.size(); ++i) {
        const qsizetype end = lineEndLength(view, i);
        if (end == 0)
            continue;
        spans.append({start, i - start, end});
        i += end - 1;
        start = i + 1;
    }
    if (start < view.size())
        spans.append({start, view.size() - start, 0});
    return spans;
}

} // namespace

qsizetype lineEndLength(QStringView text, qsizetype pos)
{
    return lineEndIn(text, pos);
}

qsizetype lineEndLength(QByteArrayView bytes, qsizetype pos)
{
    return lineEndIn(bytes, pos);
}

QList<LineSpan> lineSpans(QStringView text)
{
    return spansOf(text);
}

QList<LineSpan> lineSpans(QByteArrayView bytes)
{
    return spansOf(bytes);
}

QStringList splitLines(QStringView text)
{
    QStringList lines;
    for (const LineSpan &span : lineSpans(text))
        lines.append(text.sliced(span.start, span.length).toString());
    return lines;
}

QList<QByteArray> splitLines(QByteArrayView bytes)
{
    QList<QByteArray> lines;
    for (const LineSpan &span : lineSpans(bytes))
        lines.append(bytes.sliced(span.start, span.length).toByteArray());
    return lines;
}

QByteArray firstLineEnd(QByteArrayView bytes)
{
    for (const LineSpan &span : lineSpans(bytes)) {
        if (span.endLength > 0)
            return bytes.sliced(span.start + span.length, span.endLength).toByteArray();
    }
    return QByteArrayLiteral("\n");
}

} // namespace vorta
