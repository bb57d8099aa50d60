// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/data_files.h"
#include "core/settings_file.h"
#include "core/tree_paths.h"
#include "format/file_reader.h"
#include "format/qt_text.h"
#include "tests/support/core_text.h"
#include "tests/support/hostile_files.h"
#include "tests/support/no_file_growth.h"
#include "tests/support/scripted_random.h"
#include "tests/support/story_tree.h"
#include "tests/ui/window_story.h"
#include "ui/main_window.h"

#include <QAction>
#include <QDirIterator>
#include <QLabel>
#include <QMap>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>

#include <unistd.h>

using Genre = StoryTree::Genre;
using vorta::ErrorKind;
using namespace std::chrono_literals;

namespace {

const QString kSettings = QStringLiteral("vorta.cfg");
const QString kCatalogue = QStringLiteral("Genres/genres.vtq");
const QString kNoMarkerLine = QStringLiteral("ИТОГ без отметки");

// The event in which the fault strikes.
enum class Moment
{
    Start,           // the program's start, before its window is shown
    Tick,            // a countdown tick that does not run out
    ProgramMove,     // the tick on which the countdown runs out
    ReaderMove,      // a click on the first offered genre
    NewStory,        // the new-story button
    OpenSettings,    // the menu command that opens the settings dialog
    ConfirmSettings, // "ОК" in the settings dialog
};

// What is wrong with the file (or folder) of the row.
enum class Fault
{
    Missing,
    SettingsOneValue,
    SettingsNotANumber,
    SettingsProductOverflows,
    SettingsBeyond32Bits,
    SettingsUnwritable,
    CatalogueElevenPairs,
    CatalogueEndsInsidePair,
    CatalogueFolderOutward,
    CatalogueEmptyLineAfterLastPair,
    GenreFolderMissing,
    FragmentCountNotANumber,
    FragmentEndsBeforeLastLine,
    FinaleEndsAfterLeastGenre,
    FinaleEndsBeforeLastLine,
    FinaleCountNotANumber,
    Step37LineWithoutMarker,
    // What a careless or curious user can put in place of any data file.
    Fifo,
    DeviceLink,
    Folder,
    Oversized,   // one byte over the file's cap
    Unreadable,  // mode 000; root reads it all the same
    HugeValue,   // a first line of 10 MB digits
    SettingsNul, // a NUL in the second value of the settings
};

} // namespace

Q_DECLARE_METATYPE(Moment)
Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(vorta::ErrorKind)

namespace {

// Every file of a data folder, so that a damaged tree can be put right again.
class TreeCopy
{
public:
    explicit TreeCopy(const StoryTree &tree) : m_tree(tree)
    {
        const QDir root = tree.dir();
        QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString relative = root.relativeFilePath(it.next());
            m_files.insert(relative, tree.readBytes(relative));
        }
    }

    void restore() const
    {
        QDir root = m_tree.dir();
        // Pipes, devices and links to them too: writing into a pipe would wait for good.
        const QStringList entries =
            root.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
        for (const QString &entry : entries) {
            const QFileInfo info(root.filePath(entry));
            if (info.isDir() && !info.isSymLink())
                QDir(info.filePath()).removeRecursively();
            else
                root.remove(entry);
        }
        for (auto it = m_files.cbegin(); it != m_files.cend(); ++it)
            m_tree.writeBytes(it.key(), it.value());
    }

private:
    const StoryTree &m_tree;
    QMap<QString, QByteArray> m_files;
};

void damage(const StoryTree &tree, Fault fault, const QString &file)
{
    const auto lines = [&tree, &file](const QStringList &text) {
        tree.writeLines(file, text);
    };
    switch (fault) {
    case Fault::Missing:
        if (!tree.remove(file))
            qFatal("cannot remove %s", qPrintable(file));
        return;
    case Fault::SettingsOneValue:
        return lines({QStringLiteral(" 1 ")});
    case Fault::SettingsNotANumber:
        return lines({QStringLiteral(" 1 "), QStringLiteral("пять")});
    case Fault::SettingsProductOverflows:
        // 429497 × 5000 leaves the 32-bit range, though the value itself fits.
        return lines({QStringLiteral(" 429497 "), QStringLiteral(" 0 ")});
    case Fault::SettingsBeyond32Bits:
        return lines({QStringLiteral(" 99999999999 "), QStringLiteral(" 0 ")});
    case Fault::SettingsUnwritable:
        return; // the event itself runs under NoFileGrowth
    case Fault::CatalogueElevenPairs: {
        QStringList pairs;
        for (int n = 1; n <= 11; ++n)
            pairs << QStringLiteral("Жанр %1,alpha").arg(n);
        return lines(pairs);
    }
    case Fault::CatalogueEndsInsidePair:
        return lines(
            {QStringLiteral("Альфа,alpha"), QStringLiteral("Бета,beta"), QStringLiteral("Гамма")});
    case Fault::CatalogueFolderOutward:
        return lines({QStringLiteral("Альфа,alpha"), QStringLiteral("Бета,../../elsewhere")});
    case Fault::CatalogueEmptyLineAfterLastPair:
        return lines({QStringLiteral("Альфа,alpha"), QStringLiteral("Бета,beta"),
                      QStringLiteral("Гамма,gamma"), QString()});
    case Fault::GenreFolderMissing:
        if (!QDir(tree.path(QFileInfo(file).path())).removeRecursively())
            qFatal("cannot remove the folder of %s", qPrintable(file));
        return;
    case Fault::FragmentCountNotANumber:
        return lines({QStringLiteral("один"), QStringLiteral("1"), QStringLiteral("текст")});
    case Fault::FragmentEndsBeforeLastLine:
        return lines({QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("первая"),
                      QStringLiteral("вторая")});
    case Fault::FinaleEndsAfterLeastGenre:
        return lines({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("1"),
                      QStringLiteral("Конец"), QStringLiteral("2")});
    case Fault::FinaleEndsBeforeLastLine:
        return lines({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("3"),
                      QStringLiteral("первая"), QStringLiteral("вторая")});
    case Fault::FinaleCountNotANumber:
        return lines({QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("три")});
    case Fault::Step37LineWithoutMarker:
        return lines({QStringLiteral("1"), QStringLiteral("1"), kNoMarkerLine});
    case Fault::Fifo:
        return hostile::makeFifo(tree.path(file));
    case Fault::DeviceLink:
        return hostile::makeDeviceLink(tree.path(file));
    case Fault::Folder:
        return hostile::makeFolder(tree.path(file));
    case Fault::Oversized:
        return hostile::makeSparseFile(tree.path(file), vorta::capFor(vorta::toU16(file)) + 1);
    case Fault::Unreadable:
        if (!QFile::setPermissions(tree.path(file), {}))
            qFatal("cannot take the permissions of %s", qPrintable(file));
        return;
    case Fault::HugeValue:
        return hostile::makeHugeLine(tree.path(file), 10'000'000,
                                     file == kSettings ? QByteArray(" 1 \r\n")
                                                       : QByteArray("1\r\nx\r\n"));
    case Fault::SettingsNul:
        return tree.writeBytes(file, QByteArray(" 1 \r\n 5\0 \r\n", 11));
    }
}

// What the reader sees of the story in the main window.
struct Screen
{
    QStringList rows;
    QStringList choices; // the captions of the choice labels on show
    QString countdown;
    bool countdownShown = false;
    QString button;
    QRgb buttonColour = 0;
    int scrollMin = 0;
    int scrollMax = 0;
    int scrollValue = 0;
    bool enabled = false;
};

// A story tree in a temporary folder and the main window over it, on its first start.
struct Story : WindowStory
{
    void start()
    {
        form->Form_Load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    const vorta::StoryState &state() const { return form->state(); }
    QTimer *timer1() const { return timer(1); }
    QWidget *dialog() const { return form->openDialog(); }

    // Reader's moves on the first offered genre until the story has reached the step.
    void tellUpTo(int step)
    {
        for (int guard = 0; state().stepNumber < step && guard < 70; ++guard)
            form->Label2_Click();
        QCOMPARE(state().stepNumber, step);
    }

    // Ticks until the next tick runs the countdown out.
    void tickUntilTheNextMoves()
    {
        for (int guard = 0; state().countdownMs > 1000 && guard < 10; ++guard)
            form->Timer1_Timer();
        QCOMPARE(state().countdownMs, 1000);
    }

    Screen screen() const
    {
        Screen s;
        for (int r = 0; r < vorta::kViewportRows; ++r)
            s.rows << control(QStringLiteral("Label%1").arg(12 + r))->text();
        for (int n = 2; n <= 10; ++n) {
            QLabel *choice = control(QStringLiteral("Label%1").arg(n));
            if (choice->isVisible())
                s.choices << choice->text();
        }
        QLabel *countdown = control(QStringLiteral("Label11"));
        s.countdown = countdown->text();
        s.countdownShown = countdown->isVisible();
        auto *button = control<QPushButton>(QStringLiteral("Command1"));
        s.button = button->text();
        s.buttonColour = button->palette().color(QPalette::Button).rgb();
        auto *scroll = control<QScrollBar>(QStringLiteral("VScroll1"));
        s.scrollMin = scroll->minimum();
        s.scrollMax = scroll->maximum();
        s.scrollValue = scroll->value();
        s.enabled = form->isEnabled();
        return s;
    }
};

QList<QMessageBox *> shownMessages()
{
    QList<QMessageBox *> shown;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(window); box && box->isVisible())
            shown << box;
    }
    return shown;
}

std::optional<QByteArray> settingsBytes(const StoryTree &tree)
{
    if (!QFileInfo(tree.path(kSettings)).isFile())
        return std::nullopt;
    return tree.readBytes(kSettings);
}

// The names of the fields in which two story states differ.
QString differences(const vorta::StoryState &a, const vorta::StoryState &b)
{
    QStringList names;
    const auto note = [&names](bool same, const char *name) {
        if (!same)
            names << QLatin1String(name);
    };
    note(a.storyLines == b.storyLines, "storyLines");
    note(a.nextLine == b.nextLine, "nextLine");
    note(a.topLine == b.topLine, "topLine");
    note(a.countdownMs == b.countdownMs, "countdownMs");
    note(a.autoPeriodMs == b.autoPeriodMs, "autoPeriodMs");
    note(a.switchPercent == b.switchPercent, "switchPercent");
    note(a.genreNames == b.genreNames, "genreNames");
    note(a.genreDirs == b.genreDirs, "genreDirs");
    note(a.genreCount == b.genreCount, "genreCount");
    note(a.currentGenre == b.currentGenre, "currentGenre");
    note(a.genreUses == b.genreUses, "genreUses");
    note(a.stepNumber == b.stepNumber, "stepNumber");
    note(a.iqValue == b.iqValue, "iqValue");
    note(a.window == b.window, "window");
    note(a.settingsFailureReported == b.settingsFailureReported, "settingsFailureReported");
    return QStringLiteral("the state differs in: ") + names.join(QStringLiteral(", "));
}

void compareScreens(const Screen &actual, const Screen &expected)
{
    QCOMPARE(actual.rows, expected.rows);
    QCOMPARE(actual.choices, expected.choices);
    QCOMPARE(actual.countdown, expected.countdown);
    QCOMPARE(actual.countdownShown, expected.countdownShown);
    QCOMPARE(actual.button, expected.button);
    QCOMPARE(actual.buttonColour, expected.buttonColour);
    QCOMPARE(actual.scrollMin, expected.scrollMin);
    QCOMPARE(actual.scrollMax, expected.scrollMax);
    QCOMPARE(actual.scrollValue, expected.scrollValue);
    QCOMPARE(actual.enabled, expected.enabled);
}

// The message names the error, the file and, where one applies, the line.
void checkMessage(const QString &text, ErrorKind kind, const QString &file, int line)
{
    const QString kindText = vorta::toQString(vorta::StoryError(kind).kindText());
    QVERIFY(!kindText.isEmpty());
    const QStringList lines = text.split(QLatin1Char('\n'));
    const auto hasLineStarting = [&lines](const QString &start) {
        return std::any_of(lines.cbegin(), lines.cend(),
                           [&start](const QString &l) { return l.startsWith(start); });
    };
    QVERIFY2(hasLineStarting(kindText), qPrintable(text));
    QVERIFY2(lines.contains(QStringLiteral("Файл: ") + file), qPrintable(text));
    if (line > 0)
        QVERIFY2(lines.contains(QStringLiteral("Строка: %1").arg(line)), qPrintable(text));
    else
        QVERIFY2(!hasLineStarting(QStringLiteral("Строка:")), qPrintable(text));
}

void checkFitsTheScreen(QWidget *message)
{
    const QSize screen = message->screen()->availableGeometry().size();
    QVERIFY2(message->width() <= screen.width() && message->height() <= screen.height(),
             qPrintable(QStringLiteral("%1 × %2").arg(message->width()).arg(message->height())));
}

// Closes the one message shown, as the reader does.
void answer(QMessageBox *message)
{
    message->button(QMessageBox::Ok)->click();
    flushDeletes();
    QVERIFY(shownMessages().isEmpty());
}

void addRow(const char *name, Moment moment, int step, Fault fault, const QString &file,
            ErrorKind kind = ErrorKind::FileNotFound, int line = 0)
{
    QTest::newRow(name) << moment << step << fault << file << kind << line;
}

QString fragment(const char *dir, int step)
{
    return StoryTree::fragmentFile(QLatin1String(dir), step);
}

} // namespace

class FaultTableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void faultKeepsTheStoryAndIsReportedOnce_data();
    void faultKeepsTheStoryAndIsReportedOnce();
    void hugeMessageFitsTheScreen();
    void anyExceptionKeepsTheStory_data();
    void anyExceptionKeepsTheStory();

private:
    // A row that hangs (a pipe read, a device that never ends) fails instead of stalling the run.
    std::optional<HangGuard> m_hangGuard;

    void checkStartFails(const QDir &root, ErrorKind kind, const QString &file, int line);
    void checkUnreadableSettingsAtATick(Story &story, Fault fault, const QString &file,
                                        ErrorKind kind, int line);
};

void FaultTableTest::init()
{
    m_hangGuard.emplace(QString::fromUtf8(QTest::currentDataTag()), 120s);
}

void FaultTableTest::cleanup()
{
    m_hangGuard.reset();
}

void FaultTableTest::faultKeepsTheStoryAndIsReportedOnce_data()
{
    QTest::addColumn<Moment>("moment");
    QTest::addColumn<int>("step"); // the step told before the event
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("file");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<int>("line");

    using E = ErrorKind;
    using F = Fault;
    using M = Moment;

    addRow("start: settings missing", M::Start, 0, F::Missing, kSettings);
    addRow("start: settings of one value", M::Start, 0, F::SettingsOneValue, kSettings,
           E::InputPastEndOfFile, 1);
    addRow("start: settings not a number", M::Start, 0, F::SettingsNotANumber, kSettings,
           E::BadNumber, 2);
    addRow("start: settings overflowing", M::Start, 0, F::SettingsProductOverflows, kSettings,
           E::Overflow);
    addRow("start: settings beyond 32 bits", M::Start, 0, F::SettingsBeyond32Bits, kSettings,
           E::Overflow, 1);
    addRow("start: catalogue missing", M::Start, 0, F::Missing, kCatalogue);
    addRow("start: catalogue of 11 pairs", M::Start, 0, F::CatalogueElevenPairs, kCatalogue,
           E::SubscriptOutOfRange, 11);
    addRow("start: catalogue ending inside a pair", M::Start, 0, F::CatalogueEndsInsidePair,
           kCatalogue, E::InputPastEndOfFile, 3);
    addRow("start: catalogue naming a folder outside", M::Start, 0, F::CatalogueFolderOutward,
           kCatalogue, E::BadName, 2);
    addRow("start: settings a named pipe", M::Start, 0, F::Fifo, kSettings, E::NotRegularFile);
    addRow("start: catalogue a named pipe", M::Start, 0, F::Fifo, kCatalogue, E::NotRegularFile);
    addRow("start: settings a link to /dev/zero", M::Start, 0, F::DeviceLink, kSettings,
           E::NotRegularFile);
    addRow("start: settings a folder", M::Start, 0, F::Folder, kSettings, E::NotRegularFile);
    addRow("start: settings over 4 KiB", M::Start, 0, F::Oversized, kSettings, E::FileTooLarge);
    addRow("start: settings of a 10 MB line", M::Start, 0, F::HugeValue, kSettings,
           E::FileTooLarge);
    addRow("start: catalogue over 16 MiB", M::Start, 0, F::Oversized, kCatalogue, E::FileTooLarge);
    addRow("start: settings unreadable", M::Start, 0, F::Unreadable, kSettings,
           E::PermissionDenied);
    // The message goes to stderr whole, its file and line after the NUL included.
    addRow("start: settings holding a NUL", M::Start, 0, F::SettingsNul, kSettings, E::BadNumber,
           2);

    addRow("tick: settings deleted", M::Tick, 20, F::Missing, kSettings);
    addRow("tick: settings of one value", M::Tick, 20, F::SettingsOneValue, kSettings,
           E::InputPastEndOfFile, 1);
    addRow("tick: settings not a number", M::Tick, 20, F::SettingsNotANumber, kSettings,
           E::BadNumber, 2);
    addRow("tick: settings overflowing", M::Tick, 20, F::SettingsProductOverflows, kSettings,
           E::Overflow);
    addRow("tick: settings a named pipe", M::Tick, 20, F::Fifo, kSettings, E::NotRegularFile);
    addRow("tick: settings a link to /dev/zero", M::Tick, 20, F::DeviceLink, kSettings,
           E::NotRegularFile);
    addRow("tick: settings over 4 KiB", M::Tick, 20, F::Oversized, kSettings, E::FileTooLarge);
    addRow("tick: settings unreadable", M::Tick, 20, F::Unreadable, kSettings, E::PermissionDenied);

    addRow("new story: settings missing", M::NewStory, 20, F::Missing, kSettings);
    addRow("new story: settings of one value", M::NewStory, 20, F::SettingsOneValue, kSettings,
           E::InputPastEndOfFile, 1);
    addRow("new story: settings not a number", M::NewStory, 20, F::SettingsNotANumber, kSettings,
           E::BadNumber, 2);
    addRow("new story: settings overflowing", M::NewStory, 20, F::SettingsProductOverflows,
           kSettings, E::Overflow);
    addRow("new story: catalogue missing", M::NewStory, 20, F::Missing, kCatalogue);
    addRow("new story: catalogue of 11 pairs", M::NewStory, 20, F::CatalogueElevenPairs, kCatalogue,
           E::SubscriptOutOfRange, 11);
    addRow("new story: catalogue ending inside a pair", M::NewStory, 20, F::CatalogueEndsInsidePair,
           kCatalogue, E::InputPastEndOfFile, 3);
    addRow("new story: catalogue naming a folder outside", M::NewStory, 20,
           F::CatalogueFolderOutward, kCatalogue, E::BadName, 2);
    addRow("new story: catalogue with an empty line after its last pair", M::NewStory, 20,
           F::CatalogueEmptyLineAfterLastPair, kCatalogue, E::InputPastEndOfFile, 4);
    addRow("new story after the finale: catalogue missing", M::NewStory, 65, F::Missing,
           kCatalogue);
    addRow("new story: catalogue a named pipe", M::NewStory, 20, F::Fifo, kCatalogue,
           E::NotRegularFile);
    addRow("new story: catalogue a folder", M::NewStory, 20, F::Folder, kCatalogue,
           E::NotRegularFile);
    addRow("new story: settings of a 10 MB line", M::NewStory, 20, F::HugeValue, kSettings,
           E::FileTooLarge);

    addRow("settings dialog opening: settings missing", M::OpenSettings, 20, F::Missing, kSettings);
    addRow("settings dialog opening: settings of one value", M::OpenSettings, 20,
           F::SettingsOneValue, kSettings, E::InputPastEndOfFile, 1);
    addRow("settings dialog opening: settings not a number", M::OpenSettings, 20,
           F::SettingsNotANumber, kSettings, E::BadNumber, 2);
    addRow("settings dialog opening: settings beyond 32 bits", M::OpenSettings, 20,
           F::SettingsBeyond32Bits, kSettings, E::Overflow, 1);
    addRow("settings dialog opening: settings a named pipe", M::OpenSettings, 20, F::Fifo,
           kSettings, E::NotRegularFile);
    addRow("settings dialog ОК: settings unwritable", M::ConfirmSettings, 20, F::SettingsUnwritable,
           kSettings, E::FileNotWritten);

    // Moves by clicks alternate between Бета and Альфа, starting from Альфа; the program keeps
    // the genre in force. Step 37 draws IQ 80, so step 39 is skipped.
    addRow("reader's move: fragment missing", M::ReaderMove, 20, F::Missing, fragment("beta", 21));
    addRow("program's move: fragment missing", M::ProgramMove, 20, F::Missing,
           fragment("alpha", 21));
    addRow("reader's move: genre folder missing", M::ReaderMove, 20, F::GenreFolderMissing,
           fragment("beta", 21));
    addRow("program's move: genre folder missing", M::ProgramMove, 20, F::GenreFolderMissing,
           fragment("alpha", 21));
    addRow("reader's move: fragment count not a number", M::ReaderMove, 20,
           F::FragmentCountNotANumber, fragment("beta", 21), E::BadNumber, 1);
    addRow("program's move: fragment count not a number", M::ProgramMove, 20,
           F::FragmentCountNotANumber, fragment("alpha", 21), E::BadNumber, 1);
    addRow("reader's move: fragment ending before its last line", M::ReaderMove, 20,
           F::FragmentEndsBeforeLastLine, fragment("beta", 21), E::InputPastEndOfFile, 4);
    addRow("program's move: fragment ending before its last line", M::ProgramMove, 20,
           F::FragmentEndsBeforeLastLine, fragment("alpha", 21), E::InputPastEndOfFile, 4);
    addRow("reader's move: fragment a named pipe", M::ReaderMove, 20, F::Fifo, fragment("beta", 21),
           E::NotRegularFile);
    addRow("program's move: fragment a link to /dev/zero", M::ProgramMove, 20, F::DeviceLink,
           fragment("alpha", 21), E::NotRegularFile);
    addRow("reader's move: fragment a folder", M::ReaderMove, 20, F::Folder, fragment("beta", 21),
           E::NotRegularFile);
    addRow("program's move: fragment over 16 MiB", M::ProgramMove, 20, F::Oversized,
           fragment("alpha", 21), E::FileTooLarge);
    addRow("reader's move: fragment unreadable", M::ReaderMove, 20, F::Unreadable,
           fragment("beta", 21), E::PermissionDenied);
    addRow("reader's move: fragment count of 10 MB digits", M::ReaderMove, 20, F::HugeValue,
           fragment("beta", 21), E::Overflow, 1);

    addRow("reader's move: finale missing", M::ReaderMove, 64, F::Missing, fragment("alpha", 65));
    addRow("program's move: finale missing", M::ProgramMove, 64, F::Missing, fragment("beta", 65));
    addRow("reader's move: finale ending after a genre index", M::ReaderMove, 64,
           F::FinaleEndsAfterLeastGenre, fragment("alpha", 65), E::InputPastEndOfFile, 5);
    addRow("program's move: finale ending after a genre index", M::ProgramMove, 64,
           F::FinaleEndsAfterLeastGenre, fragment("beta", 65), E::InputPastEndOfFile, 5);
    addRow("reader's move: finale ending before its last line", M::ReaderMove, 64,
           F::FinaleEndsBeforeLastLine, fragment("alpha", 65), E::InputPastEndOfFile, 5);
    addRow("program's move: finale ending before its last line", M::ProgramMove, 64,
           F::FinaleEndsBeforeLastLine, fragment("beta", 65), E::InputPastEndOfFile, 5);
    addRow("reader's move: finale count not a number", M::ReaderMove, 64, F::FinaleCountNotANumber,
           fragment("alpha", 65), E::BadNumber, 3);
    addRow("reader's move: finale a named pipe", M::ReaderMove, 64, F::Fifo, fragment("alpha", 65),
           E::NotRegularFile);
    addRow("program's move: finale a link to /dev/zero", M::ProgramMove, 64, F::DeviceLink,
           fragment("beta", 65), E::NotRegularFile);

    // Not a fault: the line is told as it stands.
    addRow("reader's move: step-37 line without a marker", M::ReaderMove, 36,
           F::Step37LineWithoutMarker, fragment("beta", 37));
    addRow("program's move: step-37 line without a marker", M::ProgramMove, 36,
           F::Step37LineWithoutMarker, fragment("alpha", 37));
}

void FaultTableTest::faultKeepsTheStoryAndIsReportedOnce()
{
    QFETCH(Moment, moment);
    QFETCH(int, step);
    QFETCH(Fault, fault);
    QFETCH(QString, file);
    QFETCH(ErrorKind, kind);
    QFETCH(int, line);
    if (fault == Fault::Unreadable && ::geteuid() == 0)
        QSKIP("root reads files of any mode");

    Story story;
    if (moment == Moment::Start) {
        damage(story.tree, fault, file);
        checkStartFails(story.tree.dir(), kind, file, line);
        return;
    }

    story.start();
    story.tellUpTo(step);
    if (moment == Moment::ProgramMove) {
        story.tickUntilTheNextMoves();
    } else if (story.state().window.countdownRunning) {
        story.form->Timer1_Timer();
        story.form->Timer1_Timer();
    }
    if (QTest::currentTestFailed())
        return;
    // The reader has scrolled back over the story.
    story.control<QScrollBar>(QStringLiteral("VScroll1"))->setValue(2);
    QCOMPARE(story.state().topLine, 2);

    if (moment == Moment::Tick) {
        checkUnreadableSettingsAtATick(story, fault, file, kind, line);
        return;
    }

    QPointer<QSlider> slider1;
    QPointer<QSlider> slider2;
    if (moment == Moment::ConfirmSettings) {
        story.form->findChild<QAction *>(QStringLiteral("option"))->trigger();
        QVERIFY(story.dialog());
        QVERIFY(QTest::qWaitForWindowExposed(story.dialog()));
        slider1 = story.dialog()->findChild<QSlider *>(QStringLiteral("Slider1"));
        slider2 = story.dialog()->findChild<QSlider *>(QStringLiteral("Slider2"));
        slider1->setValue(4);
        slider2->setValue(6);
    }

    const TreeCopy goodTree(story.tree);
    damage(story.tree, fault, file);
    const vorta::StoryState before = story.state();
    const Screen screenBefore = story.screen();
    const std::optional<QByteArray> settingsBefore = settingsBytes(story.tree);
    QVERIFY(story.timer1()->isActive() == before.window.countdownRunning);

    {
        std::optional<NoFileGrowth> noGrowth;
        if (fault == Fault::SettingsUnwritable)
            noGrowth.emplace();
        switch (moment) {
        case Moment::ProgramMove:
            story.form->Timer1_Timer();
            break;
        case Moment::ReaderMove:
            clickAt(story.control(QStringLiteral("Label2")));
            break;
        case Moment::NewStory:
            clickAt(story.control<QPushButton>(QStringLiteral("Command1")));
            answerNewStoryQuestion(*story.form);
            break;
        case Moment::OpenSettings:
            story.form->findChild<QAction *>(QStringLiteral("option"))->trigger();
            break;
        case Moment::ConfirmSettings:
            clickAt(story.dialog()->findChild<QPushButton *>(QStringLiteral("Command2")));
            break;
        case Moment::Start:
        case Moment::Tick:
            break;
        }
    }
    QVERIFY(story.form->isVisible());

    if (fault == Fault::Step37LineWithoutMarker) {
        QVERIFY(shownMessages().isEmpty());
        QCOMPARE(story.state().stepNumber, 37);
        QCOMPARE(toldLines(story.state()).last(), kNoMarkerLine);
        QVERIFY(story.timer1()->isActive());
        return;
    }

    // One message, the window's own, which holds the countdown while it is shown.
    const QList<QMessageBox *> messages = shownMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(story.form->openMessage(), messages.first());
    checkMessage(messages.first()->text(), kind, file, line);
    checkFitsTheScreen(messages.first());
    QVERIFY(!story.timer1()->isActive());

    // The story and the window as before, except that the countdown which ran out has started
    // again: the failed move is tried once more only after a full waiting period.
    vorta::StoryState expected = before;
    Screen screenExpected = screenBefore;
    if (moment == Moment::ProgramMove) {
        expected.countdownMs = before.autoPeriodMs;
        expected.window.countdownText = vorta::countdownCaption(0);
        screenExpected.countdown = vorta::toQString(expected.window.countdownText);
    }
    QVERIFY2(story.state() == expected, qPrintable(differences(story.state(), expected)));
    compareScreens(story.screen(), screenExpected);
    QCOMPARE(settingsBytes(story.tree), settingsBefore);
    if (moment == Moment::ConfirmSettings) {
        QVERIFY(story.dialog() && story.dialog()->isVisible());
        QCOMPARE(slider1->value(), 4);
        QCOMPARE(slider2->value(), 6);
    } else {
        QVERIFY(!story.dialog());
    }

    answer(messages.first());
    QCOMPARE(story.timer1()->isActive(), before.window.countdownRunning);
    QVERIFY2(story.state() == expected, qPrintable(differences(story.state(), expected)));
    compareScreens(story.screen(), screenExpected);

    // Put right, the same event goes through.
    goodTree.restore();
    switch (moment) {
    case Moment::ProgramMove:
        for (int tick = 0; tick < 10 && story.state().stepNumber == before.stepNumber; ++tick)
            story.form->Timer1_Timer();
        QCOMPARE(story.state().stepNumber, before.stepNumber + 1);
        break;
    case Moment::ReaderMove:
        clickAt(story.control(QStringLiteral("Label2")));
        QCOMPARE(story.state().stepNumber, before.stepNumber + 1);
        break;
    case Moment::NewStory:
        clickAt(story.control<QPushButton>(QStringLiteral("Command1")));
        answerNewStoryQuestion(*story.form);
        QCOMPARE(story.state().stepNumber, 0);
        QCOMPARE(story.state().storyLines, std::vector<std::u16string>{std::u16string()});
        break;
    case Moment::OpenSettings:
        story.form->findChild<QAction *>(QStringLiteral("option"))->trigger();
        QVERIFY(story.dialog());
        break;
    case Moment::ConfirmSettings:
        clickAt(story.dialog()->findChild<QPushButton *>(QStringLiteral("Command2")));
        QCOMPARE(settingsBytes(story.tree), vorta::toQByteArray(vorta::settingsFileBytes(4, 6)));
        QVERIFY(story.form->isEnabled());
        break;
    case Moment::Start:
    case Moment::Tick:
        break;
    }
    QVERIFY(shownMessages().isEmpty());
}

// The program itself, started over the damaged tree: it never shows its window, says what is
// wrong on stderr and ends with a failure status.
void FaultTableTest::checkStartFails(const QDir &root, ErrorKind kind, const QString &file,
                                     int line)
{
    QProcess program;
    program.setWorkingDirectory(root.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VORTA_PROGRAM), {});
    QVERIFY2(program.waitForStarted(), qPrintable(program.errorString()));
    // Only a guard against a program that never ends.
    if (!program.waitForFinished(60000)) {
        program.kill();
        program.waitForFinished();
        QFAIL("the program did not end");
    }
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QVERIFY(program.exitCode() != 0);
    checkMessage(QString::fromLocal8Bit(program.readAllStandardError()), kind, file, line);
}

// A tick cannot read the settings: the countdown goes on with the last good values, and the
// reader is told once until the file reads again.
void FaultTableTest::checkUnreadableSettingsAtATick(Story &story, Fault fault, const QString &file,
                                                    ErrorKind kind, int line)
{
    const TreeCopy goodTree(story.tree);
    damage(story.tree, fault, file);
    const vorta::StoryState before = story.state();
    const Screen screenBefore = story.screen();
    const std::optional<QByteArray> settingsBefore = settingsBytes(story.tree);
    QVERIFY(before.countdownMs > 1000);

    story.form->Timer1_Timer();
    const QList<QMessageBox *> messages = shownMessages();
    QCOMPARE(messages.size(), 1);
    QCOMPARE(story.form->openMessage(), messages.first());
    checkMessage(messages.first()->text(), kind, file, line);
    checkFitsTheScreen(messages.first());
    QVERIFY(!story.timer1()->isActive());

    vorta::StoryState expected = before;
    expected.countdownMs = before.countdownMs - 1000;
    expected.window.countdownText = vorta::countdownCaption(expected.countdownMs);
    expected.settingsFailureReported = true;
    QVERIFY2(story.state() == expected, qPrintable(differences(story.state(), expected)));
    Screen screenExpected = screenBefore;
    screenExpected.countdown = vorta::toQString(expected.window.countdownText);
    compareScreens(story.screen(), screenExpected);
    QCOMPARE(settingsBytes(story.tree), settingsBefore);

    answer(messages.first());
    QVERIFY(story.timer1()->isActive());

    // Still unreadable: the countdown runs on without a second message.
    story.form->Timer1_Timer();
    QVERIFY(shownMessages().isEmpty());
    QCOMPARE(story.state().countdownMs, before.countdownMs - 2000);
    QCOMPARE(story.state().autoPeriodMs, before.autoPeriodMs);
    QCOMPARE(story.state().switchPercent, before.switchPercent);

    // Read again, then lost again: told again.
    goodTree.restore();
    story.form->Timer1_Timer();
    QVERIFY(shownMessages().isEmpty());
    QVERIFY(!story.state().settingsFailureReported);
    damage(story.tree, fault, file);
    story.form->Timer1_Timer();
    QCOMPARE(shownMessages().size(), 1);
    answer(shownMessages().first());
    QCOMPARE(settingsBytes(story.tree), settingsBefore);
}

// A path or a value of megabytes (a genre folder named by a runaway catalogue line) still gives
// a message whose button is on the screen.
void FaultTableTest::hugeMessageFitsTheScreen()
{
    Story story;
    story.start();
    const QString folder = QString(1'000'000, u'ж');
    story.form->showError(vorta::storyError(
        ErrorKind::ReadError, QStringLiteral("Genres/") + folder + QStringLiteral("/1.vtq"), 0,
        QString(1'000'000, u'9')));
    const QList<QMessageBox *> messages = shownMessages();
    QCOMPARE(messages.size(), 1);
    checkFitsTheScreen(messages.first());
    QVERIFY(messages.first()->text().endsWith(QStringLiteral("/1.vtq")));
    answer(messages.first());
}

void FaultTableTest::anyExceptionKeepsTheStory_data()
{
    QTest::addColumn<Moment>("moment");
    QTest::addColumn<bool>("outOfMemory"); // otherwise a failure of the standard library
    QTest::newRow("reader's move: out of memory") << Moment::ReaderMove << true;
    QTest::newRow("program's move: out of memory") << Moment::ProgramMove << true;
    QTest::newRow("program's move: library failure") << Moment::ProgramMove << false;
    QTest::newRow("new story: out of memory") << Moment::NewStory << true;
    QTest::newRow("new story: library failure") << Moment::NewStory << false;
}

// Not only the story's own errors: whatever an event throws is reported in the one message,
// and the event leaves no trace.
void FaultTableTest::anyExceptionKeepsTheStory()
{
    QFETCH(Moment, moment);
    QFETCH(bool, outOfMemory);
    Story story;
    story.start();
    story.tellUpTo(20);
    if (moment == Moment::ProgramMove)
        story.tickUntilTheNextMoves();
    const vorta::StoryState before = story.state();

    story.random.failNextDraw(outOfMemory ? std::make_exception_ptr(std::bad_alloc())
                                          : std::make_exception_ptr(std::length_error("list")));
    if (moment == Moment::ReaderMove)
        story.form->Label2_Click();
    else if (moment == Moment::ProgramMove)
        story.form->Timer1_Timer();
    else
        story.form->startNewStory();

    const QList<QMessageBox *> messages = shownMessages();
    QCOMPARE(messages.size(), 1);
    const ErrorKind kind = outOfMemory ? ErrorKind::OutOfMemory : ErrorKind::InternalError;
    QVERIFY2(
        messages.first()->text().startsWith(vorta::toQString(vorta::StoryError(kind).kindText())),
        qPrintable(messages.first()->text()));
    vorta::StoryState expected = before;
    if (moment == Moment::ProgramMove) {
        expected.countdownMs = before.autoPeriodMs;
        expected.window.countdownText = vorta::countdownCaption(0);
    }
    QVERIFY2(story.state() == expected, qPrintable(differences(story.state(), expected)));
    answer(messages.first());
    QVERIFY(story.timer1()->isActive());
}

QTEST_MAIN(FaultTableTest)
#include "tst_fault_table.moc"
