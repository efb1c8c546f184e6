#include "app/CVexaApp.h"
#include "app/SignTreeContent.h"
#include "app/WorkFiles.h"
#include "store/CMessageTable.h"
#include "store/EncodedTextReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

// What the sign tree shows, its ticks and making a sign current.
class TestSignTree : public QObject {
    Q_OBJECT

private:
    static void AddSign(CIdList& list, int id, const QString& name, quint32 group, quint32 check) {
        auto& e = list.entries[static_cast<size_t>(id)];
        e.name = name;
        e.groupMask = group;
        e.checkMask = check;
    }

    // A P29 work folder whose selected sign is 1, started as the editor starts.
    static void StartOnSignOne(CVexaApp& app) {
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        QVERIFY(app.settingsFile.SetLedType(QStringLiteral("P29")));
        QVERIFY(app.settingsFile.SetNowSelID(1));
        app.StartUp();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void buildListsGroupZeroInIdOrder() {
        CIdList list;
        list.Clear();
        AddSign(list, 9, QStringLiteral("Nine"), 1, 0);
        AddSign(list, 2, QStringLiteral("Two"), 3, 1);
        AddSign(list, 4, QStringLiteral("Other group"), 2, 1);
        AddSign(list, 255, QString(), 1, 1);
        list.groupCheck = 1;
        const SignTreeContent c = SignTreeContent::Build(list);
        QVERIFY(c.rootChecked);
        QCOMPARE(c.signs.size(), 3);
        QCOMPARE(c.signs[0].text, QStringLiteral("2.Two"));
        QVERIFY(c.signs[0].checked);
        QCOMPARE(c.signs[1].text, QStringLiteral("9.Nine"));
        QVERIFY(!c.signs[1].checked);
        QCOMPARE(c.signs[2].text, QStringLiteral("255."));
        QCOMPARE(SignTreeContent::FirstSignId(list), 2);
    }

    // The boxes keep the stored ticks after a scan; the answers are marks beside them.
    void scanMarksLeaveTheTicks() {
        CIdList list;
        list.Clear();
        AddSign(list, 3, QStringLiteral("A"), 1, 0);
        AddSign(list, 5, QStringLiteral("B"), 1, 1);
        AddSign(list, 7, QStringLiteral("C"), 1, 1);
        list.entries[3].scanState = 1;
        list.entries[5].scanState = 2;
        list.entries[7].scanState = 1;
        ScanMarks marks;
        QCOMPARE(SignTreeContent::Build(list, &marks).signs[0].scanMark, ScanMarks::Mark::None);
        QVERIFY(marks.Summary().isEmpty());
        marks.Take(list);
        const SignTreeContent c = SignTreeContent::Build(list, &marks);
        QVERIFY(!c.signs[0].checked);
        QVERIFY(c.signs[1].checked);
        QCOMPARE(c.signs[0].scanMark, ScanMarks::Mark::Answered);
        QCOMPARE(c.signs[1].scanMark, ScanMarks::Mark::NoAnswer);
        QCOMPARE(marks.Summary(), QStringLiteral("2 signs answered: 3, 7"));
        list.entries[3].scanState = 2;
        list.entries[7].scanState = 2;
        marks.Take(list);
        QCOMPARE(marks.Summary(), QStringLiteral("No sign answered."));
    }

    void emptyListHasNoFirstSign() {
        CIdList list;
        list.Clear();
        AddSign(list, 4, QStringLiteral("Other group"), 2, 0);
        QCOMPARE(SignTreeContent::FirstSignId(list), 0);
        QVERIFY(SignTreeContent::Build(list).signs.isEmpty());
    }

    void rootTickReachesEverySign() {
        CIdList list;
        list.Clear();
        AddSign(list, 1, QStringLiteral("A"), 1, 0b110);
        AddSign(list, 200, QStringLiteral("Not in the tree"), 0, 0);
        SignTreeContent::ApplyTick(list, 0, true);
        QCOMPARE(list.groupCheck, 1u);
        QCOMPARE(list.entries[1].checkMask, 0b111u);
        QCOMPARE(list.entries[200].checkMask, 1u);
        SignTreeContent::ApplyTick(list, 0, false);
        QCOMPARE(list.groupCheck, 0u);
        QCOMPARE(list.entries[1].checkMask, 0b110u); // other group bits stay
        QCOMPARE(list.entries[200].checkMask, 0u);
        SignTreeContent::ApplyTick(list, 1, true);
        QCOMPARE(list.entries[1].checkMask, 0b111u);
        SignTreeContent::ApplyTick(list, 300, true); // out of range: ignored
    }

    void removeKeepsNameAndTicks() {
        CIdList list;
        list.Clear();
        AddSign(list, 5, QStringLiteral("Five"), 3, 1);
        QVERIFY(SignTreeContent::RemoveFromTree(list, 5));
        QCOMPARE(list.entries[5].groupMask, 0u);
        QCOMPARE(list.entries[5].name, QStringLiteral("Five"));
        QCOMPARE(list.entries[5].checkMask, 1u);
        QVERIFY(!SignTreeContent::RemoveFromTree(list, 0));
        QVERIFY(!SignTreeContent::RemoveFromTree(list, 256));
    }

    void pasteCopiesTheSourceFileOverTheTarget() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        QVERIFY(QDir().mkpath(app.Paths().WorkDataDir()));
        QVERIFY(WorkFiles::WriteTemplate(242, app.Paths().WorkFilePath(2)));
        QVERIFY(WorkFiles::WriteTemplate(177, app.Paths().WorkFilePath(4)));
        const auto bytes = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray target = bytes(app.Paths().WorkFilePath(4));
        QVERIFY(!SignTreeContent::PasteSign(app, 0, 4)); // nothing copied
        QVERIFY(!SignTreeContent::PasteSign(app, 4, 4)); // onto itself
        QVERIFY(!SignTreeContent::PasteSign(app, 9, 4)); // the source has no file: target kept
        QCOMPARE(bytes(app.Paths().WorkFilePath(4)), target);
        QVERIFY(SignTreeContent::PasteSign(app, 2, 4));
        QCOMPARE(bytes(app.Paths().WorkFilePath(4)), bytes(app.Paths().WorkFilePath(2)));
        QVERIFY(SignTreeContent::PasteSign(app, 2, 7)); // a sign without a file gets one
        QVERIFY(QFile::exists(app.Paths().WorkFilePath(7)));
    }

    // System.set turned unreadable while the editor runs: the selection it could not
    // store still holds, so New resets the selected sign's file and no other.
    void newResetsTheSelectedSignWhenTheSettingsCannotBeRead() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        StartOnSignOne(app);
        QVERIFY(SignTreeContent::SelectSign(app, 4));
        QVERIFY(app.messageTable.WriteContent(0, QStringLiteral("[ASCII]KEEP")));
        QFile settings(app.settingsFile.Path());
        QVERIFY(settings.open(QIODevice::ReadWrite) && settings.resize(EncodedTextReader::MaxFileBytes + 1));
        settings.close();
        QVERIFY(SignTreeContent::SelectSign(app, 7));
        QCOMPARE(app.SelectedSign(), 7);
        QVERIFY(WorkFiles::NewFile(app));
        QCOMPARE(app.messageTable.MessageFilePath(), app.Paths().WorkFilePath(7));
        QVERIFY(!QFileInfo::exists(app.Paths().WorkFilePath(0)));
        CMessageTable four;
        QVERIFY(four.OpenMessageFile(app.Paths().WorkFilePath(4)));
        QCOMPARE(four.ReadContent(0), QStringLiteral("[ASCII]KEEP"));
    }

    void selectingASignSavesTheOldAndOpensTheNew() {
        QTemporaryDir dir;
        CVexaApp app(AppPaths(dir.path(), dir.path()));
        StartOnSignOne(app);
        app.messageTable.speed[0] = 6; // not yet saved
        QVERIFY(SignTreeContent::SelectSign(app, 4));
        QCOMPARE(app.settingsFile.NowSelID(), 4);
        QCOMPARE(app.messageTable.MessageFilePath(), app.Paths().WorkFilePath(4));
        // A new sign's file is the model's template.
        QFile created(app.Paths().WorkFilePath(4));
        QFile templ(QStringLiteral(":/FILES/242"));
        QVERIFY(created.open(QIODevice::ReadOnly) && templ.open(QIODevice::ReadOnly));
        QCOMPARE(created.readAll(), templ.readAll());
        CMessageTable previous;
        QVERIFY(previous.OpenMessageFile(app.Paths().WorkFilePath(1)));
        QCOMPARE(previous.speed[0], 6);
        // The current sign again: nothing is reloaded.
        app.messageTable.speed[0] = 2;
        QVERIFY(!SignTreeContent::SelectSign(app, 4));
        QCOMPARE(app.messageTable.speed[0], 2);
    }
};

QTEST_GUILESS_MAIN(TestSignTree)
#include "tst_signtree.moc"
