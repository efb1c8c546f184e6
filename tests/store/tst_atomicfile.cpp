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
        // A killed writer's temporary is unlocked and still has the bits of one being
        // written; a running writer holds its lock. Files that only look like ours (a user's
        // notes of the same name, the names older versions used) are never taken.
        QTemporaryDir folder;
        const auto make = [&](const QString& name, QFile::Permissions bits) {
            const QString path = folder.filePath(name);
            QFile f(path);
            [&] { QVERIFY(f.open(QIODevice::WriteOnly)); }();
            f.write("x");
            f.close();
            QFile::setPermissions(path, bits);
            return path;
        };
        const QString target = make(QStringLiteral("sign.led"), QFile::ReadOwner | QFile::WriteOwner);
        make(QStringLiteral(".vexa-tmp-Ab12Cd"), QFile::WriteOwner);
        // Killed after it took the target's permission bits, just before the rename: its
        // name's check letter still tells it from a user's file.
        make(QStringLiteral(".vexa-tmp-Done0r"), QFile::ReadOwner | QFile::WriteOwner);
        const QString live = make(QStringLiteral(".vexa-tmp-Live00"), QFile::WriteOwner);
        make(QStringLiteral(".vexa-tmp-Notes1"), QFile::ReadOwner | QFile::WriteOwner);
        make(QStringLiteral("sign.led.tmp-NOTES1"), QFile::WriteOwner);
        const int fd = ::open(QFile::encodeName(live).constData(), O_WRONLY);
        QVERIFY(fd >= 0);
        QCOMPARE(::flock(fd, LOCK_EX), 0);
        QCOMPARE(AtomicFile::Write(target, "new"), AtomicFile::Result::Ok);
        ::close(fd);
        const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        QCOMPARE(left, (QStringList{QStringLiteral(".vexa-tmp-Live00"), QStringLiteral(".vexa-tmp-Notes1"),
                                    QStringLiteral("sign.led"), QStringLiteral("sign.led.tmp-NOTES1")}));
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
