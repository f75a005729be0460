// The one helper every write goes through: a file is replaced whole or not at all.
#include "document/Error.h"
#include "document/SafeSave.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace kelvarin;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeRaw(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(data), data.size());
}

} // namespace

class TestSafeSave : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void writesNewAndReplacesExisting() {
        const QString p = dir.filePath("f.bin");
        saveFileSafely(p, QByteArray(5000, 'a'));
        QCOMPARE(readAll(p), QByteArray(5000, 'a'));
        saveFileSafely(p, "short");
        QCOMPARE(readAll(p), QByteArray("short"));
        // No temporary file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"f.bin"});
    }

    void targetsThatCannotBeWritten_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing folder") << "no/such/folder/f.bin";
        QTest::newRow("path is a folder") << "sub";
        QTest::newRow("read-only file") << "ro.bin";
    }
    void targetsThatCannotBeWritten() {
        QFETCH(QString, name);
        QDir(dir.path()).mkdir("sub");
        const QString ro = dir.filePath("ro.bin");
        if (!QFile::exists(ro)) {
            writeRaw(ro, "keep");
            QFile::setPermissions(ro, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        }
        const QString p = dir.filePath(name);
        try {
            saveFileSafely(p, "new");
            QFAIL("written");
        } catch (const Error& e) {
            const QString prefix =
                "Cannot create file \"" + QFileInfo(p).absoluteFilePath() + "\". ";
            QVERIFY2(e.message().startsWith(prefix), qPrintable(e.message()));
            QVERIFY(e.message().size() > prefix.size());
        }
        QCOMPARE(readAll(ro), QByteArray("keep"));
    }

    // A write that fails part-way (here: the process may not make files larger than 4 KiB)
    // reports "Stream write error" and leaves the old file as it was.
    void failedWriteLeavesOldFileUntouched() {
        const QString p = dir.filePath("big.bin");
        writeRaw(p, "old content");
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString message;
        try {
            saveFileSafely(p, QByteArray(21444, 'x'));
        } catch (const Error& e) {
            message = e.message();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        QCOMPARE(message, QString("Stream write error"));
        QCOMPARE(readAll(p), QByteArray("old content"));
        QCOMPARE(QDir(dir.path()).entryList({"big*"}, QDir::Files), QStringList{"big.bin"});
    }
};

QTEST_GUILESS_MAIN(TestSafeSave)
#include "tst_safesave.moc"
