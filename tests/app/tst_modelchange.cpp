#include "app/CVexaApp.h"
#include "app/ModelChange.h"
#include "app/WorkFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <sys/mount.h>

using namespace vexa;

// A new model keeps or resets the current sign's messages by model group.
class TestModelChange : public QObject {
    Q_OBJECT

private:
    static QByteArray Bytes(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A data folder with sign 3 current and a message on its row 0, and sign 5's file.
    static void Prepare(CVexaApp& app, const QString& model) {
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        QVERIFY(app.settingsFile.SetLedType(model));
        QVERIFY(app.settingsFile.SetNowSelID(3));
        app.StartUp();
        QVERIFY(app.messageTable.WriteContent(0, QStringLiteral("[ASCII]OLD")));
        app.messageTable.kind[0] = 1;
        QVERIFY(app.messageTable.SaveParams());
        QVERIFY(WorkFiles::WriteTemplate(177, app.Paths().WorkFilePath(5)));
    }

    // A small tmpfs mounted over a folder for as long as it lives (root only).
    struct SmallDisk {
        QString path;
        bool mounted = false;
        explicit SmallDisk(const QString& folder) : path(folder) {
            QDir().mkpath(path);
            mounted = ::mount("tmpfs", QFile::encodeName(path).constData(), "tmpfs", 0, "size=64k") == 0;
        }
        ~SmallDisk() {
            if (mounted)
                ::umount2(QFile::encodeName(path).constData(), MNT_DETACH);
        }
        // Takes every free block.
        void Fill() const {
            QFile filler(path + QStringLiteral("/filler"));
            if (!filler.open(QIODevice::WriteOnly))
                return;
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
    };

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // File > New and a change into another model group over a message file that cannot be
    // written (read-only, or on a full disk): the operator is told, the sign keeps its
    // messages and the stored model stays the old one.
    void unwritableFileKeepsMessagesAndModel_data() {
        QTest::addColumn<bool>("fullDisk");
        QTest::newRow("read-only file") << false;
        QTest::newRow("full disk") << true;
    }
    void unwritableFileKeepsMessagesAndModel() {
        QFETCH(bool, fullDisk);
        QTemporaryDir dir;
        QString root = dir.path();
        std::optional<SmallDisk> disk;
        if (fullDisk) {
            disk.emplace(dir.filePath(QStringLiteral("disk")));
            if (!disk->mounted)
                QSKIP("a full disk needs a small tmpfs, which only root may mount");
            root = disk->path;
        }
        CVexaApp app(AppPaths(root, root));
        Prepare(app, QStringLiteral("P29"));
        QStringList reports;
        app.SetErrorReporter([&](const QString&, const QString& text, const QString&) { reports << text; });
        const QString file = app.Paths().WorkFilePath(3);
        const QByteArray before = Bytes(file);
        if (fullDisk)
            disk->Fill();
        else
            QVERIFY(QFile::setPermissions(file, QFile::ReadOwner));

        QVERIFY(!WorkFiles::NewFile(app));
        QCOMPARE(reports.size(), 1);
        QCOMPARE(ModelChange::Apply(app, QStringLiteral("P13")), ModelChange::Result::Failed);
        QVERIFY(reports.size() >= 2);
        QCOMPARE(app.settingsFile.LedType(), QStringLiteral("P29"));
        QCOMPARE(Bytes(file), before);
        QCOMPARE(app.messageTable.ReadContent(0), QStringLiteral("[ASCII]OLD"));
    }

    void sameGroupKeepsTheMessages() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        Prepare(app, QStringLiteral("P13"));
        const QByteArray before = Bytes(app.Paths().WorkFilePath(3));
        QCOMPARE(ModelChange::Apply(app, QStringLiteral("P24")), ModelChange::Result::MessagesKept);
        QCOMPARE(app.settingsFile.LedType(), QStringLiteral("P24"));
        QCOMPARE(Bytes(app.Paths().WorkFilePath(3)), before);
        QCOMPARE(app.messageTable.ReadContent(0), QStringLiteral("[ASCII]OLD"));
    }

    void otherGroupResetsOnlyTheCurrentSign() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        Prepare(app, QStringLiteral("P13"));
        const QByteArray otherSign = Bytes(app.Paths().WorkFilePath(5));
        QCOMPARE(ModelChange::Apply(app, QStringLiteral("P29")), ModelChange::Result::FileReset);
        QCOMPARE(app.settingsFile.LedType(), QStringLiteral("P29"));
        // The current sign's file is now template 242, and it is the open file.
        QFile templ(QStringLiteral(":/FILES/242"));
        QVERIFY(templ.open(QIODevice::ReadOnly));
        QCOMPARE(Bytes(app.Paths().WorkFilePath(3)), templ.readAll());
        QCOMPARE(app.messageTable.MessageFilePath(), app.Paths().WorkFilePath(3));
        QCOMPARE(app.messageTable.ReadContent(0), QString());
        QCOMPARE(Bytes(app.Paths().WorkFilePath(5)), otherSign);
    }

    void storedModelChangesNothing() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        Prepare(app, QStringLiteral("P04"));
        const QByteArray settings = Bytes(app.Paths().SystemSetPath());
        const QByteArray current = Bytes(app.Paths().WorkFilePath(3));
        QCOMPARE(ModelChange::Apply(app, QStringLiteral("P04")), ModelChange::Result::Unchanged);
        QCOMPARE(Bytes(app.Paths().SystemSetPath()), settings);
        QCOMPARE(Bytes(app.Paths().WorkFilePath(3)), current);
    }

    void firstChoiceWithoutStoredModelResets() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        app.StartUp(); // no System.set: no model, sign 0
        QCOMPARE(ModelChange::Apply(app, QStringLiteral("P06")), ModelChange::Result::FileReset);
        QFile templ(QStringLiteral(":/FILES/243"));
        QVERIFY(templ.open(QIODevice::ReadOnly));
        QCOMPARE(Bytes(app.Paths().WorkFilePath(0)), templ.readAll());
    }
};

QTEST_GUILESS_MAIN(TestModelChange)
#include "tst_modelchange.moc"
