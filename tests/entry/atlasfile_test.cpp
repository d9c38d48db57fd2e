// The atlas file as found on disk: nothing is waited on, and no file or line is read without
// bound.
#include "entry/atlas.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

using namespace zodiara;

class AtlasFileTest : public QObject {
    Q_OBJECT
private slots:
    void boundedReading_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<int>("lines");  // -1: refused
        QTest::newRow("FIFO") << QByteArray("fifo") << -1;
        QTest::newRow("larger than any atlas") << QByteArray("huge") << -1;
        QTest::newRow("over-long line skipped") << QByteArray("long line") << 2;
    }

    void boundedReading()
    {
        QFETCH(QByteArray, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("atlas.txt"));
        const QByteArray native = QFile::encodeName(path);
        QFile file(path);
        if (kind == "fifo") {
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        } else if (kind == "huge") {  // sparse: no disk space taken
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(AtlasMaxFileBytes + 1));
        } else {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("New York  074W00  40N43 EST\n" + QByteArray(AtlasMaxLineBytes + 1, 'x')
                       + "\nParis  002E20  48N52 CET\n");
        }
        file.close();

        auto reading = std::async(std::launch::async, [&path] { return readAtlas(path); });
        if (reading.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            // A reader stuck on the FIFO is let go, to fail on its result rather than hang.
            const int writer = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
        }
        const std::optional<Atlas> atlas = reading.get();
        QFETCH(int, lines);
        QCOMPARE(atlas ? atlas->lineCount() : -1, lines);
    }
};

QTEST_GUILESS_MAIN(AtlasFileTest)
#include "atlasfile_test.moc"
