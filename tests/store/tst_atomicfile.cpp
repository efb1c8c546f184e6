#include "store/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace vexa;

class TestAtomicFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString Make(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        [&] { QVERIFY(f.open(QIODevice::WriteOnly)); }();
        f.write(bytes);
        return path;
    }

private slots:
    void leftoverTemporariesAreRemovedLiveOnesKept() {
        // A killed writer's temporary is unlocked; a running writer holds its lock. Files
        // that only look similar are not ours.
        const QString target = Make(QStringLiteral("sign.led"), "old");
        Make(QStringLiteral("sign.led.tmp-Ab12Cd"), "half written");
        Make(QStringLiteral("sign.led.tmp-EMPTY0"), QByteArray());
        const QString live = Make(QStringLiteral("sign.led.tmp-Live00"), "being written");
        Make(QStringLiteral("sign.led.tmp-toolong"), "x");
        Make(QStringLiteral("other.led.tmp-Ab12Cd"), "x");
        const int fd = ::open(QFile::encodeName(live).constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX), 0);
        QCOMPARE(AtomicFile::Write(target, "new"), AtomicFile::Result::Ok);
        ::close(fd);
        const QStringList left = QDir(dir.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(left, (QStringList{QStringLiteral("other.led.tmp-Ab12Cd"), QStringLiteral("sign.led"),
                                    QStringLiteral("sign.led.tmp-Live00"),
                                    QStringLiteral("sign.led.tmp-toolong")}));
    }

    void linkChainsAreWrittenThroughToTheLastTarget() {
        const QString target = Make(QStringLiteral("real.led"), "old");
        QVERIFY(QFile::link(target, dir.filePath(QStringLiteral("one.led"))));
        QVERIFY(QFile::link(QStringLiteral("one.led"), dir.filePath(QStringLiteral("two.led")))); // relative
        QCOMPARE(AtomicFile::Write(dir.filePath(QStringLiteral("two.led")), "new"), AtomicFile::Result::Ok);
        QFile f(target);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("new"));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("two.led"))).isSymLink());
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("one.led"))).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
