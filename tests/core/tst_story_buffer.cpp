// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/story_buffer.h"
#include "core/story_state.h"
#include "tests/support/core_text.h"

#include <QTest>

using namespace vorta;

namespace {

// A fresh story's buffer: range 1..1, position 1, no lines.
StoryState freshBuffer()
{
    StoryState state;
    state.nextLine = 1;
    resetView(state);
    return state;
}

// What row r of the view shows.
QString row(const StoryState &state, int r)
{
    return toQString(storyLine(state, state.topLine + r));
}

QString lineText(int n)
{
    return QStringLiteral("line %1").arg(n);
}

void tell(StoryState &state, int lines)
{
    for (int n = state.nextLine; lines > 0; --lines, ++n)
        appendStoryLine(state, toU16(lineText(n)));
}

} // namespace

class TestStoryBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void freshStoryShowsEmptyRows();
    void paging_data();
    void paging();
    void scrollingShowsFifteenEntries();
    void emptyLineTakesARow();
    void positionMovesOnlyWhenItFallsOutsideTheRange();
    void bufferGrowsPastTenThousandLines();
};

void TestStoryBuffer::freshStoryShowsEmptyRows()
{
    StoryState state;
    QCOMPARE(state.topLine, 0);
    state = freshBuffer();
    QCOMPARE(state.nextLine, 1);
    QCOMPARE(state.topLine, 1);
    for (int r = 0; r < kViewportRows; ++r)
        QVERIFY(row(state, r).isEmpty());
}

void TestStoryBuffer::paging_data()
{
    QTest::addColumn<int>("told");
    QTest::addColumn<int>("scrollTo"); // 0: the reader does not scroll
    QTest::addColumn<int>("topLine");
    QTest::newRow("14 lines fill rows 1 to 14") << 14 << 0 << 1;
    QTest::newRow("the 15th line moves the view") << 15 << 0 << 2;
    QTest::newRow("40 lines follow the end") << 40 << 0 << 27;
    QTest::newRow("scrolled back to 1, one more line jumps to the end") << 40 << 1 << 28;
    QTest::newRow("scrolled back to 10") << 40 << 10 << 28;
    QTest::newRow("scrolled to the last position stays") << 40 << 41 << 41;
}

void TestStoryBuffer::paging()
{
    QFETCH(int, told);
    QFETCH(int, scrollTo);
    QFETCH(int, topLine);
    StoryState state = freshBuffer();
    tell(state, told);
    if (scrollTo) {
        followScrollBar(state, scrollTo);
        QCOMPARE(state.topLine, scrollTo);
        tell(state, 1);
    }
    const int lines = state.nextLine - 1;
    QCOMPARE(state.topLine, topLine);
    for (int r = 0; r < kViewportRows; ++r) {
        const int entry = topLine + r;
        QCOMPARE(row(state, r), entry <= lines ? lineText(entry) : QString());
    }
}

void TestStoryBuffer::scrollingShowsFifteenEntries()
{
    StoryState state = freshBuffer();
    tell(state, 30);
    for (int position : {1, 5, 16, 25, 31}) {
        followScrollBar(state, position);
        for (int r = 0; r < kViewportRows; ++r) {
            const int entry = position + r;
            QCOMPARE(row(state, r), entry <= 30 ? lineText(entry) : QString());
        }
    }
    followScrollBar(state, 1000);
    QCOMPARE(state.topLine, 31);
}

void TestStoryBuffer::emptyLineTakesARow()
{
    StoryState state = freshBuffer();
    appendStoryLine(state, u"a");
    appendStoryLine(state, u"");
    appendStoryLine(state, u"b");
    QCOMPARE(row(state, 1), QString());
    QCOMPARE(row(state, 2), QStringLiteral("b"));
    QCOMPARE(state.nextLine, 4);
}

// Following the scroll bar moves the view only when the position falls outside the range,
// 1 .. nextLine, as it does when the lines are cut back.
void TestStoryBuffer::positionMovesOnlyWhenItFallsOutsideTheRange()
{
    StoryState state = freshBuffer();
    tell(state, 40);
    followScrollBar(state, state.topLine);
    QCOMPARE(state.topLine, 27);
    state.storyLines = {std::u16string()};
    state.nextLine = 1;
    followScrollBar(state, state.topLine);
    QCOMPARE(state.topLine, 1);
    QVERIFY(row(state, 0).isEmpty());
}

void TestStoryBuffer::bufferGrowsPastTenThousandLines()
{
    StoryState state = freshBuffer();
    tell(state, 10050);
    QCOMPARE(state.nextLine, 10051);
    QCOMPARE(state.topLine, 10037);
    QCOMPARE(row(state, 13), lineText(10050));
    QVERIFY(row(state, 14).isEmpty());
}

QTEST_GUILESS_MAIN(TestStoryBuffer)
#include "tst_story_buffer.moc"
