// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "command_line.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

namespace vorta::app {

namespace {

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

CommandLine::CommandLine()
    : m_help({QStringLiteral("h"), QStringLiteral("help")},
             QStringLiteral("Показать эту справку и выйти.")),
      m_version({QStringLiteral("v"), QStringLiteral("version")},
                QStringLiteral("Показать версию программы и выйти."))
{
    m_parser.setApplicationDescription(QStringLiteral(
        "«Повесть о синем фонаре»: интерактивная литература. Рассказ читается шаг за шагом, а "
        "читатель выбирает жанр каждого следующего шага.\n"
        "Файл повести (.vorta) распаковывается в ваш каталог повестей и открывается; без "
        "файла программа читает рассказ из папки, в которой запущена, а если его там нет, то "
        "повесть, установленную с программой."));
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
    m_parser.addPositionalArgument(QStringLiteral("файл"), QStringLiteral("Файл повести."),
                                   QStringLiteral("[ФАЙЛ.vorta]"));
}

std::optional<int> CommandLine::answerWithoutDisplay(int &argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // Unknown arguments may be Qt's own; they are judged by check().
    m_parser.parse(arguments);
    if (!m_parser.isSet(m_help) && !m_parser.isSet(m_version))
        return std::nullopt;
    // The help text names the program as it was called, and Qt's part of it speaks Russian with
    // Qt's translations installed.
    const QCoreApplication application(argc, argv);
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Russian), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);
    if (m_parser.isSet(m_help))
        print(stdout, m_parser.helpText());
    else
        print(stdout, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                    QCoreApplication::applicationVersion()));
    return 0;
}

std::optional<int> CommandLine::check(const QStringList &arguments)
{
    QString error;
    if (!m_parser.parse(arguments))
        error = m_parser.errorText();
    else if (m_parser.positionalArguments().size() > 1)
        error = QStringLiteral("Лишний аргумент: %1").arg(m_parser.positionalArguments().at(1));
    if (error.isEmpty())
        return std::nullopt;
    print(stderr, QStringLiteral("%1: %2\nСправка: %1 --help\n")
                      .arg(QCoreApplication::applicationName(), error));
    return 2;
}

QString CommandLine::storyFile() const
{
    const QStringList files = m_parser.positionalArguments();
    return files.isEmpty() ? QString() : files.constFirst();
}

} // namespace vorta::app
