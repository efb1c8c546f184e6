#include "app/CVexaApp.h"
#include "app/LanguageCodes.h"
#include "app/WorkFiles.h"
#include "core/ModelCatalogue.h"
#include "store/ResourceFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray Template(int id) {
    return ResourceFiles::Read(QStringLiteral("FILES"), id);
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void firstStartCreatesWorkDataAndSignZero() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(QStringLiteral("/nonexistent/bin"), dir.path()));
        const int option = app.StartUp();
        QCOMPARE(option, 0);
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("WorkData"))).isDir());
        QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("WorkData/0.led"))), Template(177));
        QCOMPARE(app.messageTable.MessageFilePath(), dir.filePath(QStringLiteral("WorkData/0.led")));
        QCOMPARE(app.language, LanguageCodes::DefaultLanguageCode());
        QCOMPARE(app.idList.TickedIds(), QList<int>{});
        // Nothing but the work file is written at start-up.
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("WorkData/System.set"))));
    }

    void startUpReadsTheStoredSignAndOptions() {
        QTemporaryDir dir;
        {
            CVexaApp first(AppPaths(QString(), dir.path()));
            QVERIFY(QDir().mkpath(first.Paths().WorkDataDir()));
            QVERIFY(first.settingsFile.SetLanguage(6));
            QVERIFY(first.settingsFile.SetNowSelID(12));
            QVERIFY(first.settingsFile.SetMode485(1));
            QVERIFY(first.settingsFile.SetLedType(QStringLiteral("P30")));
        }
        CVexaApp app(AppPaths(QString(), dir.path()));
        QCOMPARE(app.StartUp(), 1);
        QCOMPARE(app.language, 6);
        // A missing work file of the stored sign gets template 177 whatever the model.
        QCOMPARE(ReadBytes(app.Paths().WorkFilePath(12)), Template(177));
    }

    void unreadableWorkFileIsKeptAsideNeverOverwritten() {
        // A work file too large to read: one message that says where it went, the file kept
        // byte for byte under a name that says so, the sign starting afresh, and a shutdown
        // that writes the fresh file only.
        QTemporaryDir dir;
        CVexaApp app(AppPaths(QString(), dir.path()));
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        const QString path = app.Paths().WorkFilePath(0);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.write("keep me") == 7);
            QVERIFY(f.resize(16 * 1024 * 1024 + 1));
        }
        QStringList reports;
        app.SetErrorReporter([&](const QString& caption, const QString& text, const QString& detail) {
            reports << caption + u'|' + text + u'|' + detail;
        });
        app.StartUp();
        app.Shutdown();
        const QStringList aside =
            QDir(app.Paths().WorkDataDir()).entryList({QStringLiteral("0.led.unreadable-*")});
        QCOMPARE(aside.size(), 1);
        const QString kept = app.Paths().WorkDataDir() + u'/' + aside.front();
        QCOMPARE(QFileInfo(kept).size(), 16 * 1024 * 1024 + 1);
        QVERIFY(ReadBytes(kept).startsWith("keep me"));
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports.front().contains(kept));
        QVERIFY(reports.front().contains(QStringLiteral("16 MiB")));
        QVERIFY(app.messageTable.Loaded());
        QCOMPARE(app.messageTable.kind[0], 1); // the template's first row
    }

    void languageZeroMeansSystemLanguage() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(QString(), dir.path()));
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        QVERIFY(app.settingsFile.SetLanguage(0));
        app.StartUp();
        QCOMPARE(app.language, LanguageCodes::DefaultLanguageCode());
    }

    void shutdownWritesTheRowsParameters() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(QString(), dir.path()));
        app.StartUp();
        app.messageTable.speed[3] = 7;
        app.messageTable.sendFlag[3] = 1;
        app.Shutdown();
        CMessageTable reread;
        QVERIFY(reread.OpenMessageFile(app.Paths().WorkFilePath(0)));
        QCOMPARE(reread.speed[3], 7);
        QCOMPARE(reread.sendFlag[3], 1);
    }

    void ensureWorkFileChoosesTemplateByModel_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("templateId");
        QTest::newRow("P30") << QStringLiteral("P30") << 242;
        QTest::newRow("P06") << QStringLiteral("P06") << 243;
        QTest::newRow("P13") << QStringLiteral("P13") << 177;
        QTest::newRow("unknown") << QStringLiteral("X99") << 177;
    }
    void ensureWorkFileChoosesTemplateByModel() {
        QFETCH(QString, model);
        QFETCH(int, templateId);
        QTemporaryDir dir;
        CVexaApp app(AppPaths(QString(), dir.path()));
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        QVERIFY(app.settingsFile.SetLedType(model));
        const QString path = WorkFiles::EnsureWorkFile(app, 12, false);
        QCOMPARE(ReadBytes(path), Template(templateId));
        // An existing file is kept unless overwrite is asked for.
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("mine");
        f.close();
        WorkFiles::EnsureWorkFile(app, 12, false);
        QCOMPARE(ReadBytes(path), QByteArray("mine"));
        WorkFiles::EnsureWorkFile(app, 12, true);
        QCOMPARE(ReadBytes(path), Template(templateId));
    }

    void fileNewOpenSave() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(QString(), dir.path()));
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        QVERIFY(app.settingsFile.SetLedType(QStringLiteral("P30")));
        QVERIFY(app.settingsFile.SetNowSelID(12));
        app.StartUp();
        CMessageTable& table = app.messageTable;
        QVERIFY(table.WriteContent(0, QStringLiteral("[ASCII]hello")));
        table.effect[0] = 4;

        // Save: the work file (with the current parameters) is copied out.
        const QString exported = dir.filePath(QStringLiteral("export.led"));
        QVERIFY(WorkFiles::SaveFileAs(app, exported));
        QCOMPARE(ReadBytes(exported), ReadBytes(app.Paths().WorkFilePath(12)));

        // New: the current sign's file becomes the model's template.
        QVERIFY(WorkFiles::NewFile(app));
        QCOMPARE(ReadBytes(app.Paths().WorkFilePath(12)), Template(242));
        QCOMPARE(table.ReadContent(0), QString());

        // Open: the chosen file is copied over the work file; the chosen file is never written.
        const QByteArray before = ReadBytes(exported);
        QVERIFY(WorkFiles::OpenFile(app, exported));
        QCOMPARE(table.ReadContent(0), QStringLiteral("[ASCII]hello"));
        QCOMPARE(table.effect[0], 4);
        QCOMPARE(ReadBytes(exported), before);
        QCOMPARE(table.MessageFilePath(), app.Paths().WorkFilePath(12));

        // Opening a file that does not exist changes nothing, and only the window tells it,
        // once, with the reason.
        QStringList reports;
        app.SetErrorReporter([&](const QString&, const QString& text, const QString&) { reports << text; });
        QString reason;
        QVERIFY(!WorkFiles::OpenFile(app, dir.filePath(QStringLiteral("missing.led")), &reason));
        QCOMPARE(table.ReadContent(0), QStringLiteral("[ASCII]hello"));
        QVERIFY(reason.contains(QStringLiteral("missing.led")));
        QCOMPARE(reports, QStringList());
    }

    void codePageComesFromSettings() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(QString(), dir.path()));
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        QFile f(app.Paths().SystemSetPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Setting]\r\nCodePage=936\r\n[LEDData]\r\nNowSelID=3\r\n");
        f.close();
        QFile sign(app.Paths().WorkFilePath(3));
        QVERIFY(sign.open(QIODevice::WriteOnly));
        sign.write("[INFO]\r\nPARA_00=10000000000\r\nDATA_00=[ASCII]\xD6\xD0\xCE\xC4\r\n");
        sign.close();
        app.ApplyCodePage();
        QCOMPARE(app.CodePage(), 936);
        app.StartUp();
        QCOMPARE(app.messageTable.ReadContent(0), QStringLiteral("[ASCII]中文"));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
