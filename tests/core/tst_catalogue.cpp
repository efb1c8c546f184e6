#include "core/ModelCatalogue.h"

#include <QSet>
#include <QTest>

using namespace vexa;

class TestCatalogue : public QObject {
    Q_OBJECT

private slots:
    void tableIsConsistent() {
        const auto models = ModelCatalogue::All();
        QCOMPARE(static_cast<int>(models.size()), 36);
        QSet<QString> names;
        for (int i = 0; i < 36; ++i) {
            const DisplayModel& m = models[static_cast<size_t>(i)];
            QCOMPARE(m.position, i);
            names.insert(QString::fromLatin1(m.name));
            // The port speed follows the height, 9600 only for the two character-code models.
            QCOMPARE(QString::fromLatin1(m.portSettings),
                     ModelCatalogue::PortSettingsFor(m.rows, QString::fromLatin1(m.name)));
            QCOMPARE(m.slotCount == 10, m.rows == 16);
            QCOMPARE(m.hasPageGeometry, m.pageWidth != 0);
            QCOMPARE(m.pageAlignRule == PageAlignRule::PagedTwelve, m.rows == 12 && m.hasPageGeometry);
            QCOMPARE(m.timeBoxesUsable, m.group != 3 || QLatin1String(m.name) == QLatin1String("P19"));
        }
        QCOMPARE(names.size(), 36);
        for (int n = 1; n <= 36; ++n)
            QVERIFY(names.contains(QStringLiteral("P%1").arg(n, 2, 10, QLatin1Char('0'))));
        QCOMPARE(ModelCatalogue::Names().mid(0, 6), (QStringList{"P01", "P02", "P05", "P03", "P04", "P19"}));
    }

    void lookupIsExact() {
        QVERIFY(ModelCatalogue::Find(QStringLiteral("P13")));
        QVERIFY(!ModelCatalogue::Find(QStringLiteral("p13")));
        QVERIFY(!ModelCatalogue::Find(QStringLiteral("P13 ")));
        QCOMPARE(QLatin1String(ModelCatalogue::PrefixMatch(QStringLiteral("P3"))->name),
                 QLatin1String("P30"));
        QVERIFY(!ModelCatalogue::PrefixMatch(QStringLiteral("Q")));
    }

    void groupChanges_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("changed");
        QTest::newRow("P13-P24 same group") << "P13"
                                            << "P24" << false;
        QTest::newRow("P13-P29") << "P13"
                                 << "P29" << true;
        QTest::newRow("P04-P05") << "P04"
                                 << "P05" << false;
        QTest::newRow("P19-P13") << "P19"
                                 << "P13" << false;
        QTest::newRow("P12-P01") << "P12"
                                 << "P01" << true;
        QTest::newRow("empty old") << ""
                                   << "P01" << true;
        QTest::newRow("unknown old") << "X"
                                     << "P01" << true;
    }
    void groupChanges() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, changed);
        QCOMPARE(ModelCatalogue::ModelGroupChanged(from, to), changed);
    }

    void pageAlignRule() {
        const DisplayModel* p30 = ModelCatalogue::Find(QStringLiteral("P30"));
        QCOMPARE(ModelCatalogue::PageAlignFor(p30, 0, 1), 0);
        QCOMPARE(ModelCatalogue::PageAlignFor(p30, 1, 1), 1);
        QCOMPARE(ModelCatalogue::PageAlignFor(p30, 0, 0), 1);
        const DisplayModel* p13 = ModelCatalogue::Find(QStringLiteral("P13"));
        QCOMPARE(ModelCatalogue::PageAlignFor(p13, 0, 0), 0);
        QCOMPARE(ModelCatalogue::PageAlignFor(p13, 0, 2), 1);
        QCOMPARE(ModelCatalogue::PageAlignFor(ModelCatalogue::Find(QStringLiteral("P22")), 0, 0), 1);
        QCOMPARE(ModelCatalogue::PageAlignFor(ModelCatalogue::Find(QStringLiteral("P01")), 0, 1), 1);
    }

    void menusAndWords() {
        QCOMPARE(ModelCatalogue::EffectNames(1).at(5), QStringLiteral("Snow"));
        QCOMPARE(ModelCatalogue::EffectNames(2).size(), 7);
        QCOMPARE(ModelCatalogue::EffectNames(0).at(7), QStringLiteral("Middle"));
        QCOMPARE(ModelCatalogue::ContentItems(false).size(), 2);
        QCOMPARE(ModelCatalogue::VisibleRows(9), 9);
        QCOMPARE(ModelCatalogue::VisibleRows(8), 8);
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
