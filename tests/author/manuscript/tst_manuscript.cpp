// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "tests/author/manuscript_folder.h"

#include "author/manuscript/manuscript.h"
#include "tests/support/core_text.h"

#include <QTest>

using namespace vorta;
using namespace vorta::author;

namespace {

const QString kPath = QStringLiteral("story/skazka.txt");

GenreManuscript parse(const QByteArray &bytes, std::vector<Diagnostic> &diagnostics)
{
    return parseGenreManuscript(bytes, kPath, diagnostics);
}

// Every step but the first as genreText writes it.
QString otherSteps()
{
    const QString whole = ManuscriptFolder::genreText(QStringLiteral("skazka"), 1);
    return whole.mid(whole.indexOf(QStringLiteral("## 2\n")));
}

QList<QStringList> toldVariants(const ManuscriptStep &step)
{
    QList<QStringList> variants;
    for (const ManuscriptVariant &variant : step.variants) {
        QStringList lines;
        for (const SourceLine &line : variant.lines)
            lines.append(line.text);
        variants.append(lines);
    }
    return variants;
}

} // namespace

class ManuscriptTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void variantsAsTold_data();
    void variantsAsTold();
    void storyLinesKeepTheirManuscriptLines();
    void diagnosticAtItsLine_data();
    void diagnosticAtItsLine();
    void escapedLinesReadBack_data();
    void escapedLinesReadBack();
};

void ManuscriptTest::variantsAsTold_data()
{
    QTest::addColumn<QString>("body"); // under "## 1"
    QTest::addColumn<QList<QStringList>>("variants");

    QTest::newRow("plain lines") << QStringLiteral("а\nб\n")
                                 << QList<QStringList>{strings({"а", "б"})};
    QTest::newRow("no text: one empty variant") << QString() << QList<QStringList>{{}};
    QTest::newRow("separator right after the heading")
        << QStringLiteral("---\nа\n") << QList<QStringList>{{}, strings({"а"})};
    QTest::newRow("three variants, the middle one empty")
        << QStringLiteral("а\n---\n\n---\nб\n")
        << QList<QStringList>{strings({"а"}), {}, strings({"б"})};
    QTest::newRow("blank lines at the edges are layout")
        << QStringLiteral("\n\nа\n\nб\n\n") << QList<QStringList>{strings({"а", "", "б"})};
    QTest::newRow("lines of spaces at the edges are layout")
        << QStringLiteral("  \nа\n\t\n---\n \n") << QList<QStringList>{strings({"а"}), {}};
    QTest::newRow("a line of spaces inside is told as it stands")
        << QStringLiteral("а\n   \nб\n") << QList<QStringList>{strings({"а", "   ", "б"})};
    QTest::newRow("a lone backslash is an empty line kept at the edge")
        << QStringLiteral("\\\nа\n\\\n") << QList<QStringList>{strings({"", "а", ""})};
    QTest::newRow("backslash before spaces keeps them at the edge")
        << QStringLiteral("\\  \nа\n") << QList<QStringList>{strings({"  ", "а"})};
    QTest::newRow("escaped markers lose one backslash")
        << QStringLiteral("\\## 5\n\\// нет\n\\\\x\n\\---\n")
        << QList<QStringList>{strings({"## 5", "// нет", "\\x", "---"})};
    QTest::newRow("comments are not told") << QStringLiteral("// до\nа\n// внутри\nб\n// после\n")
                                           << QList<QStringList>{strings({"а", "б"})};
    QTest::newRow("trailing spaces are told")
        << QStringLiteral("а  \n") << QList<QStringList>{strings({"а  "})};
    QTest::newRow("CR LF line ends") << QStringLiteral("а\r\nб\r\n---\r\nв\r\n")
                                     << QList<QStringList>{strings({"а", "б"}), strings({"в"})};
    QTest::newRow("separator with trailing spaces")
        << QStringLiteral("а\n---  \nб\n") << QList<QStringList>{strings({"а"}), strings({"б"})};
    QTest::newRow("no line end after the last line")
        << QStringLiteral("а\nб") << QList<QStringList>{strings({"а", "б"})};
    QTest::newRow("marker-like text that is no marker is told")
        << QStringLiteral("##5\n/ x\n----\n")
        << QList<QStringList>{strings({"##5", "/ x", "----"})};
}

void ManuscriptTest::variantsAsTold()
{
    QFETCH(QString, body);
    QFETCH(QList<QStringList>, variants);

    QString text = QStringLiteral("## 1\n") + body;
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    std::vector<Diagnostic> diagnostics;
    const GenreManuscript manuscript = parse((text + otherSteps()).toUtf8(), diagnostics);
    QCOMPARE(diagnostics, std::vector<Diagnostic>());
    QCOMPARE(toldVariants(manuscript.steps[1]), variants);
}

void ManuscriptTest::storyLinesKeepTheirManuscriptLines()
{
    const QByteArray text =
        "// шапка\n\n## 1\n\nа\n---\nб\n\n" + otherSteps().toUtf8() + "\n## 65: 1, 1\n\nконец\n";
    std::vector<Diagnostic> diagnostics;
    const GenreManuscript manuscript = parse(text, diagnostics);
    QCOMPARE(diagnostics, std::vector<Diagnostic>());
    const ManuscriptStep &step = manuscript.steps[1];
    QCOMPARE(step.line, 3);
    QCOMPARE(step.variants.size(), 2);
    QCOMPARE(step.variants.at(0).line, 3);
    QCOMPARE(step.variants.at(0).lines.at(0).line, 5);
    QCOMPARE(step.variants.at(1).line, 6);
    QCOMPARE(step.variants.at(1).lines.at(0).line, 7);
    QCOMPARE(manuscript.steps[2].line, 9);
    QCOMPARE(manuscript.records.size(), 2);
    const ManuscriptRecord &record = manuscript.records.at(1);
    QCOMPARE(record.leastUsedGenre, 1);
    QCOMPARE(record.mostUsedGenre, 1);
    QCOMPARE(record.lines.size(), 1);
    QCOMPARE(record.lines.at(0).text, QStringLiteral("конец"));
}

void ManuscriptTest::diagnosticAtItsLine_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("severity");
    QTest::addColumn<QString>("words"); // the text holds them

    // Step N's heading stands on line 2N - 1, its line on 2N; the records start on line 129.
    const QByteArray whole = ManuscriptFolder::genreText(QStringLiteral("skazka"), 1).toUtf8();
    auto replaced = [&whole](const char *from, const char *to) {
        QByteArray text = whole;
        return text.replace(from, to);
    };
    const int error = int(Severity::Error);
    const int warning = int(Severity::Warning);

    QTest::newRow("character without a Windows-1251 form")
        << replaced("skazka 3\n", "skazka 3 \xF0\x9F\x98\x80\n") << 6 << error
        << QStringLiteral("«😀» (U+1F600)");
    QTest::newRow("control character")
        << replaced("skazka 3\n", "a\xC2\x85\n") << 6 << error << QStringLiteral("U+0085");
    QTest::newRow("not UTF-8") << replaced("skazka 5\n", "skazka \xE0\xE1\n") << 10 << error
                               << QStringLiteral("UTF-8");
    QTest::newRow("missing step") << replaced("## 12\nskazka 12\n", "") << 1 << error
                                  << QStringLiteral("нет шага 12");
    QTest::newRow("two missing steps") << replaced("## 12\nskazka 12\n## 13\nskazka 13\n", "") << 1
                                       << error << QStringLiteral("нет шагов 12, 13");
    QTest::newRow("repeated step") << whole + "## 5\nещё\n"
                                   << 131 << error << QStringLiteral("шаг 5 уже начат в строке 9");
    QTest::newRow("step after the last") << whole + "## 66\n"
                                         << 131 << error << QStringLiteral("шага 66 нет");
    QTest::newRow("step zero") << whole + "## 0\n" << 131 << error << QStringLiteral("шага 0 нет");
    QTest::newRow("heading that is no step")
        << whole + "## Пролог\n"
        << 131 << error << QStringLiteral("непонятный заголовок");
    QTest::newRow("step-37 line without the IQ marker")
        << replaced("skazka ум:(IQ).", "skazka ум.") << 74 << error << QStringLiteral("(IQ)");
    QTest::newRow("space before (IQ)") << replaced("skazka ум:(IQ).", "skazka ум: (IQ).") << 74
                                       << warning << QStringLiteral("пробел перед (IQ)");
    QTest::newRow("text before the first heading")
        << "// шапка\n\nПролог.\n" + whole << 3 << error << QStringLiteral("до первого заголовка");
    QTest::newRow("separator before the first heading")
        << "---\n" + whole << 1 << error << QStringLiteral("до первого заголовка");
    QTest::newRow("finale heading with one number")
        << whole + "## 65: 1\n"
        << 131 << error << QStringLiteral("два целых числа");
    QTest::newRow("finale heading with a word")
        << whole + "## 65: 1, два\n"
        << 131 << error << QStringLiteral("два целых числа");
    QTest::newRow("finale heading with a fraction")
        << whole + "## 65: 1.5, 2\n"
        << 131 << error << QStringLiteral("два целых числа");
    QTest::newRow("finale heading without numbers")
        << whole + "## 65\n"
        << 131 << error << QStringLiteral("два целых числа");
    QTest::newRow("separator inside a finale record")
        << whole + "## 65: 1, 1\nа\n---\nб\n"
        << 133 << error << QStringLiteral("у концовки нет");
}

void ManuscriptTest::diagnosticAtItsLine()
{
    QFETCH(QByteArray, text);
    QFETCH(int, line);
    QFETCH(int, severity);
    QFETCH(QString, words);

    std::vector<Diagnostic> diagnostics;
    parse(text, diagnostics);
    QCOMPARE(diagnostics.size(), 1u);
    const Diagnostic &found = diagnostics.front();
    QCOMPARE(toQString(found.path), kPath);
    QCOMPARE(found.line, line);
    QCOMPARE(int(found.severity), severity);
    const QString said = toQString(found.text);
    QVERIFY2(said.contains(words), qPrintable(said));
}

void ManuscriptTest::escapedLinesReadBack_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("escaped");

    QTest::newRow("story text") << QStringLiteral("Жили-были.") << false;
    QTest::newRow("heading") << QStringLiteral("## 3") << true;
    QTest::newRow("comment") << QStringLiteral("//") << true;
    QTest::newRow("backslash") << QStringLiteral("\\") << true;
    QTest::newRow("separator") << QStringLiteral("---") << true;
    QTest::newRow("separator with a space") << QStringLiteral("--- ") << true;
    QTest::newRow("longer dash line") << QStringLiteral("----") << false;
    QTest::newRow("hash without space") << QStringLiteral("#") << false;
}

void ManuscriptTest::escapedLinesReadBack()
{
    QFETCH(QString, line);
    QFETCH(bool, escaped);

    QCOMPARE(needsEscape(line), escaped);
    // In the middle of a variant, the line as unpack writes it is read back as the line.
    const QString written = escaped ? QLatin1Char('\\') + line : line;
    std::vector<Diagnostic> diagnostics;
    const GenreManuscript manuscript = parse(
        (QStringLiteral("## 1\nа\n") + written + QStringLiteral("\nб\n") + otherSteps()).toUtf8(),
        diagnostics);
    QCOMPARE(diagnostics, std::vector<Diagnostic>());
    QCOMPARE(toldVariants(manuscript.steps[1]),
             (QList<QStringList>{{QStringLiteral("а"), line, QStringLiteral("б")}}));
}

QTEST_GUILESS_MAIN(ManuscriptTest)
#include "tst_manuscript.moc"
