#include "app/ContentEditing.h"
#include "app/RowRules.h"
#include "app/WorkFiles.h"
#include "core/ModelCatalogue.h"
#include "store/CMessageTable.h"

#include <QTemporaryDir>
#include <QTest>

using namespace vexa;

// The outcome of the two edit paths and how an outcome reaches the message file.
class TestContentEditing : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString path;

    static CMessageTable Reopen(const QString& file) {
        CMessageTable t;
        t.OpenMessageFile(file);
        return t;
    }

private slots:
    void init() {
        QVERIFY(dir.isValid());
        path = dir.filePath(QStringLiteral("1.led"));
        QVERIFY(WorkFiles::WriteTemplate(177, path));
    }

    void editorChoice() {
        const DisplayModel* p06 = ModelCatalogue::Find(QStringLiteral("P06"));
        const DisplayModel* p29 = ModelCatalogue::Find(QStringLiteral("P29"));
        QCOMPARE(ContentEditing::EditorForItem(p06, RowRules::TextItem), ContentEditorKind::BitmapFontText);
        QCOMPARE(ContentEditing::EditorForItem(p29, RowRules::TextItem), ContentEditorKind::Text);
        QCOMPARE(ContentEditing::EditorForItem(nullptr, RowRules::TextItem), ContentEditorKind::Text);
        QCOMPARE(ContentEditing::EditorForItem(p29, RowRules::ImageItem), ContentEditorKind::Image);
        QCOMPARE(ContentEditing::EditorForItem(p29, RowRules::DateItem), ContentEditorKind::Date);
        QVERIFY(!ContentEditing::EditorForItem(p29, RowRules::MenuItemBase));
        QVERIFY(!ContentEditing::EditorForItem(p29, 20094));
        // A double-click opens the editor of the row's kind, also a date row on a model
        // whose menu has no Date item; an empty row opens nothing.
        const DisplayModel* p01 = ModelCatalogue::Find(QStringLiteral("P01"));
        QCOMPARE(ContentEditing::EditorForKind(p01, CMessageTable::KindDate), ContentEditorKind::Date);
        QCOMPARE(ContentEditing::EditorForKind(p06, CMessageTable::KindText),
                 ContentEditorKind::BitmapFontText);
        QVERIFY(!ContentEditing::EditorForKind(p01, CMessageTable::KindEmpty));
    }

    void menuEditOutcomes() {
        RowEditOutcome o = ContentEditing::AfterMenuEdit(RowRules::ImageItem, {true, false});
        QVERIFY(o.changed);
        QVERIFY(!o.clearContent);
        QCOMPARE(o.kind, 2);
        QCOMPARE(o.sendFlag, 1);
        // Confirmed empty: an empty text row that is still sent.
        o = ContentEditing::AfterMenuEdit(RowRules::DateItem, {true, true});
        QVERIFY(o.changed);
        QVERIFY(o.clearContent);
        QCOMPARE(o.kind, 1);
        QCOMPARE(o.sendFlag, 1);
        QVERIFY(!ContentEditing::AfterMenuEdit(RowRules::ImageItem, {false, true}).changed);
        QVERIFY(!ContentEditing::AfterMenuEdit(20099, {true, false}).changed);
    }

    void doubleClickOutcomes() {
        RowEditOutcome o = ContentEditing::AfterDoubleClickEdit(3, {true, false});
        QVERIFY(o.changed);
        QCOMPARE(o.kind, 3);
        QCOMPARE(o.sendFlag, 1);
        // Confirmed empty: the row becomes empty and is not sent.
        o = ContentEditing::AfterDoubleClickEdit(1, {true, true});
        QVERIFY(o.clearContent);
        QCOMPARE(o.kind, 0);
        QCOMPARE(o.sendFlag, 0);
        QVERIFY(!ContentEditing::AfterDoubleClickEdit(2, {false, false}).changed);
        QVERIFY(!ContentEditing::AfterDoubleClickEdit(0, {true, false}).changed);
    }

    void applyWritesKindSendAndClearedContent() {
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        QVERIFY(table.WriteContent(4, QStringLiteral("[ASCII]HELLO")));
        table.kind[4] = 2;
        QVERIFY(table.SaveParams());

        QVERIFY(ContentEditing::Apply(table, 4, ContentEditing::AfterDoubleClickEdit(2, {true, true})));
        CMessageTable back = Reopen(path);
        QCOMPARE(back.kind[4], 0);
        QCOMPARE(back.sendFlag[4], 0);
        QCOMPARE(back.ReadContent(4), QString());
        // The other rows are untouched.
        QCOMPARE(back.speed[3], 3);
        QCOMPARE(back.effect[7], 7);
    }

    void applyKeepsContentWhenNotEmpty() {
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        QVERIFY(table.WriteContent(2, QStringLiteral("[ASCII]KEEP")));
        QVERIFY(ContentEditing::Apply(table, 2,
                                      ContentEditing::AfterMenuEdit(RowRules::ImageItem, {true, false})));
        CMessageTable back = Reopen(path);
        QCOMPARE(back.kind[2], 2);
        QCOMPARE(back.sendFlag[2], 1);
        QCOMPARE(back.ReadContent(2), QStringLiteral("[ASCII]KEEP"));
    }

    void applyOfNoChangeOrBadRowWritesNothing() {
        CMessageTable table;
        QVERIFY(table.OpenMessageFile(path));
        const QByteArray before = [&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        table.kind[0] = 3; // in memory only
        QVERIFY(ContentEditing::Apply(table, 0, RowEditOutcome{}));
        QVERIFY(ContentEditing::Apply(table, 10,
                                      ContentEditing::AfterMenuEdit(RowRules::TextItem, {true, true})));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
};

QTEST_GUILESS_MAIN(TestContentEditing)
#include "tst_contentediting.moc"
