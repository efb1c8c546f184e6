#include "store/CIdList.h"
#include "store/EncodedTextReader.h"
#include "store/FileStamp.h"
#include "store/SystemSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace vexa;

namespace {

QByteArray Utf16Le(const QString& text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (const QChar c : text)
        bytes.append(static_cast<char>(c.unicode() & 0xFF)).append(static_cast<char>(c.unicode() >> 8));
    return bytes;
}

void Write(const QString& path, const QString& text) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(Utf16Le(text));
}

} // namespace

class TestSignList : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // A sign list or settings file that is there but could not be read (too large, a named
    // pipe) is never written over; the refusal is said once per file, and so is the read
    // failure, however many reads and writes follow.
    void unreadFilesAreNeverWrittenOver_data() {
        QTest::addColumn<bool>("pipe");
        QTest::newRow("too large") << false;
        QTest::newRow("named pipe") << true;
    }
    void unreadFilesAreNeverWrittenOver() {
        QFETCH(bool, pipe);
        QTemporaryDir folder;
        const QString listPath = folder.filePath(QStringLiteral("IDLIST.id"));
        const QString setPath = folder.filePath(QStringLiteral("System.set"));
        for (const QString& path : {listPath, setPath}) {
            if (pipe) {
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            } else {
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(EncodedTextReader::MaxFileBytes + 1));
            }
        }
        const FileStamp listBefore = FileStamp::Of(listPath), setBefore = FileStamp::Of(setPath);
        QStringList reports;
        const auto note = [&](const QString&, const QString& text, const QString&) { reports << text; };

        CIdList list(listPath);
        list.file.SetErrorReporter(note);
        QVERIFY(!list.LoadIdList());
        list.entries[3] = {QStringLiteral("New"), 1, 1, 0};
        QVERIFY(!list.SaveIdList());
        QVERIFY(!list.SaveIdList());

        SystemSettings settings(setPath);
        settings.File().SetErrorReporter(note);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(settings.NowSelID() + settings.Mode485() + settings.Language(), 0);
        QVERIFY(!settings.SetNowSelID(3));
        QVERIFY(!settings.SetLedType(QStringLiteral("P30")));
        QVERIFY(!settings.SetLanguage(6));
        QCOMPARE(settings.LedType(), QString());

        QVERIFY(FileStamp::Of(listPath) == listBefore);
        QVERIFY(FileStamp::Of(setPath) == setBefore);
        QCOMPARE(reports.count(CIniFile::NotSavedText), 2);
        QCOMPARE(reports.size(), pipe ? 2 : 4); // and each oversized file's read failure once
    }

    void savedListHoldsTheValuesInOrder() {
        CIdList list(dir.filePath(QStringLiteral("IDLIST.id")));
        list.entries[7].name = QStringLiteral("Gate 7");
        list.entries[7].groupMask = 1;
        list.entries[7].checkMask = 1;
        list.groupCheck = 1;
        QVERIFY(list.SaveIdList());

        CIniFile file;
        file.filePath = list.file.filePath;
        QVERIFY(file.LoadFile());
        QCOMPARE(file.KeyNames(), QStringList{QStringLiteral("IDLIST")});
        const QStringList names = file.ValueNames(0);
        QCOMPARE(names.size(), 778);
        QStringList expected{QStringLiteral("GROUP_CHECK")};
        for (int k = 1; k <= 12; ++k)
            expected << QStringLiteral("GROUP%1NAME").arg(k);
        for (int d = 1; d <= 255; ++d)
            expected << QStringLiteral("LEDID%1").arg(d) << QStringLiteral("LEDID%1_CHECK").arg(d)
                     << QStringLiteral("LEDID%1_GROUP").arg(d);
        QCOMPARE(names, expected);
        QCOMPARE(file.GetText(QStringLiteral("IDLIST"), QStringLiteral("LEDID7")), QStringLiteral("Gate 7"));
        QCOMPARE(file.GetText(QStringLiteral("IDLIST"), QStringLiteral("LEDID8_GROUP")), QStringLiteral("0"));
    }

    void loadKeepsUnknownValuesAndTheirOrder() {
        const QString path = dir.filePath(QStringLiteral("custom.id"));
        Write(path, QStringLiteral("[IDLIST]\r\nVENDOR_NOTE=keep me\r\nLEDID3=Lobby\r\nLEDID3_GROUP=1\r\n"
                                   "LEDID3_CHECK=1\r\nGROUP_CHECK=5\r\nGROUP2NAME=West\r\n"));
        CIdList list(path);
        QVERIFY(list.LoadIdList());
        QCOMPARE(list.entries[3].name, QStringLiteral("Lobby"));
        QCOMPARE(list.entries[3].groupMask, 1u);
        QCOMPARE(list.groupCheck, 5u);
        QCOMPARE(list.groupNames[1], QStringLiteral("West"));
        QCOMPARE(list.TickedIds(), QList<int>{3});
        QVERIFY(list.SaveIdList());

        CIniFile file;
        file.filePath = path;
        QVERIFY(file.LoadFile());
        const QStringList names = file.ValueNames(0);
        QCOMPARE(names.size(), 779);
        QCOMPARE(names.mid(0, 6), (QStringList{"VENDOR_NOTE", "LEDID3", "LEDID3_GROUP", "LEDID3_CHECK",
                                               "GROUP_CHECK", "GROUP2NAME"}));
        QCOMPARE(file.GetText(QStringLiteral("IDLIST"), QStringLiteral("VENDOR_NOTE")),
                 QStringLiteral("keep me"));
    }

    void masksAndTicks() {
        const QString path = dir.filePath(QStringLiteral("masks.id"));
        Write(path,
              QStringLiteral(
                  "[IDLIST]\r\nLEDID7=A\r\nLEDID7_GROUP=2\r\nLEDID7_CHECK=2\r\n"
                  "LEDID9=B\r\nLEDID9_GROUP=1\r\nLEDID9_CHECK=0\r\nLEDID4_GROUP=1\r\nLEDID4_CHECK=1\r\n"));
        CIdList list(path);
        QVERIFY(list.LoadIdList());
        // Sign 7 is out of group 0 (not in the tree) but ticked under group 1: a 485 send takes it.
        QCOMPARE(list.TickedIds(), (QList<int>{4, 7}));
        QCOMPARE(list.entries[9].scanState, 0u);
    }

    void longNamesAreCut() {
        const QString path = dir.filePath(QStringLiteral("long.id"));
        Write(path, QStringLiteral("[IDLIST]\r\nLEDID1=%1\r\n").arg(QString(300, u'n')));
        CIdList list(path);
        QVERIFY(list.LoadIdList());
        QCOMPARE(list.entries[1].name.size(), 255);
    }

    void missingFilesGiveDefaults() {
        CIdList list(dir.filePath(QStringLiteral("none.id")));
        list.entries[5].name = QStringLiteral("kept");
        QVERIFY(!list.LoadIdList());
        QCOMPARE(list.entries[5].name, QStringLiteral("kept"));

        SystemSettings settings(dir.filePath(QStringLiteral("none.set")));
        QCOMPARE(settings.Language(), 0);
        QVERIFY(!settings.Readable());
        QCOMPARE(settings.LedType(), QString());
        QCOMPARE(settings.Mode485(), 0);
        QCOMPARE(settings.NowSelID(), 0);
        QCOMPARE(settings.LedIdStr(), QString());
        QCOMPARE(settings.CodePage(), 1252);
    }

    void settingsAreWrittenAtOnce() {
        const QString path = dir.filePath(QStringLiteral("System.set"));
        SystemSettings settings(path);
        QVERIFY(settings.SetLedType(QStringLiteral("P30")));
        QVERIFY(settings.SetNowSelID(12));
        QVERIFY(settings.SetMode485(1));
        SystemSettings other(path);
        QCOMPARE(other.LedType(), QStringLiteral("P30"));
        QCOMPARE(other.NowSelID(), 12);
        QCOMPARE(other.Mode485(), 1);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), Utf16Le(QStringLiteral(
                                  "[Setting]\r\nLedType=P30\r\nMode485=1\r\n[LEDData]\r\nNowSelID=12\r\n")));
    }

    void groupListValuesAndCodePage() {
        const QString path = dir.filePath(QStringLiteral("group.set"));
        Write(path, QStringLiteral("[Setting]\r\nLanguage=2\r\nCodePage=936\r\n[LEDData]\r\nLEDID_Num=3\r\n"
                                   "LEDID_Str=   1  12 200\r\nLEDID12=Platform\r\n"));
        SystemSettings settings(path);
        QCOMPARE(settings.Language(), 2);
        QCOMPARE(settings.CodePage(), 936);
        QCOMPARE(settings.LedIdNum(), 3);
        QCOMPARE(settings.LedIdStr(), QStringLiteral("   1  12 200"));
        QCOMPARE(settings.LedIdName(12), QStringLiteral("Platform"));
    }
};

QTEST_GUILESS_MAIN(TestSignList)
#include "tst_signlist.moc"
