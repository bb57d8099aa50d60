// SPDX-FileCopyrightText: 2026 The vorta developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/local_channel.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

#include <future>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using vorta::app::askOnChannel;
using vorta::app::ChannelListener;

namespace {

constexpr int kAnswerMs = 2000;

// Asks from another thread, as another start does, while this one's event loop answers.
QByteArray askServed(const QString &path, const QByteArray &request, int timeoutMs = kAnswerMs)
{
    std::future<QByteArray> asked =
        std::async(std::launch::async, [&] { return askOnChannel(path, request, timeoutMs); });
    while (asked.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return asked.get();
}

// What a window answers: an echo of what it was asked, after "re ".
QByteArray echo(const QByteArray &request)
{
    return request == "silence\n" ? QByteArray() : "re " + request;
}

} // namespace

class LocalChannelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answers_data();
    void answers();
    void socketLeftBehindIsReplaced();
    void onlyTheUserMayConnect();
    void nobodyListening();
};

void LocalChannelTest::answers_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("a line") << QByteArray("raise\n") << QByteArray("re raise\n");
    QTest::newRow("no answer given") << QByteArray("silence\n") << QByteArray();
    // A caller that never ends its line is hung up on; one line at most is read.
    QTest::newRow("no end of line") << QByteArray("raise") << QByteArray();
    QTest::newRow("over the longest line")
        << QByteArray(vorta::app::kLongestChannelLine + 4, 'x') + '\n'
        << QByteArray();
    QTest::newRow("two lines: the first answered") << QByteArray("a\nb\n") << QByteArray("re a\n");
}

void LocalChannelTest::answers()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    QTemporaryDir folder;
    ChannelListener listener(echo);
    QVERIFY(listener.listen(folder.filePath(QStringLiteral("window"))));
    QCOMPARE(askServed(folder.filePath(QStringLiteral("window")), request, 300), answer);
    // The listener still answers after any caller.
    QCOMPARE(askServed(folder.filePath(QStringLiteral("window")), "again\n"),
             QByteArray("re again\n"));
}

void LocalChannelTest::socketLeftBehindIsReplaced()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("window"));
    {
        ChannelListener ended(echo);
        QVERIFY(ended.listen(path));
    }
    QVERIFY(!QFileInfo::exists(path)); // a listener that closes takes its socket away
    // A socket bound by a program that ended without closing it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, QFile::encodeName(path).constData());
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    QCOMPARE(askServed(path, "raise\n"), QByteArray());
    ChannelListener listener(echo);
    QVERIFY(listener.listen(path));
    QCOMPARE(askServed(path, "raise\n"), QByteArray("re raise\n"));
}

void LocalChannelTest::onlyTheUserMayConnect()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("window"));
    ChannelListener listener(echo);
    QVERIFY(listener.listen(path));
    struct stat info
    {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, mode_t(S_IRUSR | S_IWUSR));
}

void LocalChannelTest::nobodyListening()
{
    QTemporaryDir folder;
    QCOMPARE(askOnChannel(folder.filePath(QStringLiteral("none")), "raise\n", kAnswerMs),
             QByteArray());
    // A path longer than a socket's address may be: no channel, and no failure.
    const QString longPath = folder.filePath(QString(200, QLatin1Char('x')));
    ChannelListener listener(echo);
    QVERIFY(!listener.listen(longPath));
    QCOMPARE(askOnChannel(longPath, "raise\n", kAnswerMs), QByteArray());
}

QTEST_GUILESS_MAIN(LocalChannelTest)
#include "tst_local_channel.moc"
