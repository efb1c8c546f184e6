#include "link/PortWatcher.h"
#include "link/SerialPortList.h"

#include <QSignalSpy>
#include <QTest>

using namespace vexa;

using Refresh = SerialPortList::Refresh;
Q_DECLARE_METATYPE(Refresh)

class TestPortList : public QObject {
    Q_OBJECT
private slots:
    void selectionRules_data();
    void selectionRules();
    void listedPortsCarryNamesWithoutDevPrefix();
    void pollingWatcherReportsArrivalsAndRemovals();
};

void TestPortList::selectionRules_data() {
    QTest::addColumn<QStringList>("oldItems");
    QTest::addColumn<QString>("oldSelection");
    QTest::addColumn<QStringList>("newPorts");
    QTest::addColumn<bool>("preferNew");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("portToSet"); // empty: the port is not set

    const QStringList one3 = {"ttyS1", "ttyS3"};
    QTest::newRow("start-up picks the first port")
        << QStringList() << QString() << one3 << true << 0 << "ttyS1";
    QTest::newRow("a new adapter is preferred")
        << one3 << "ttyS1" << QStringList({"ttyS1", "ttyS3", "ttyUSB7"}) << true << 2 << "ttyUSB7";
    QTest::newRow("the selected adapter vanished")
        << QStringList({"ttyS1", "ttyS3", "ttyUSB7"}) << "ttyUSB7" << one3 << false << 0 << "ttyS1";
    QTest::newRow("arrival without a new port leaves no selection")
        << one3 << "ttyS3" << one3 << true << -1 << "";
    QTest::newRow("removal of another port keeps the selection")
        << QStringList({"ttyS1", "ttyS3", "ttyUSB7"}) << "ttyS3" << one3 << false << 1 << "";
    QTest::newRow("the last port vanished")
        << QStringList({"ttyUSB0"}) << "ttyUSB0" << QStringList() << false << -1 << "";
    QTest::newRow("no ports at start-up") << QStringList() << QString() << QStringList() << true << -1 << "";
}

void TestPortList::selectionRules() {
    QFETCH(QStringList, oldItems);
    QFETCH(QString, oldSelection);
    QFETCH(QStringList, newPorts);
    QFETCH(bool, preferNew);
    QFETCH(int, selected);
    QFETCH(QString, portToSet);
    const Refresh r = SerialPortList::RefreshPortList(oldItems, oldSelection, newPorts, preferNew);
    QCOMPARE(r.items, newPorts);
    QCOMPARE(r.selected, selected);
    QCOMPARE(r.portToSet.has_value(), !portToSet.isEmpty());
    if (r.portToSet)
        QCOMPARE(*r.portToSet, portToSet);
}

void TestPortList::listedPortsCarryNamesWithoutDevPrefix() {
    for (const SerialPortList::Port& p : SerialPortList::ListSerialPorts()) {
        QVERIFY(!p.name.startsWith(u'/'));
        QVERIFY(p.device.endsWith(p.name));
    }
}

void TestPortList::pollingWatcherReportsArrivalsAndRemovals() {
    QStringList present = {"ttyS0"};
    PortWatcher watcher;
    watcher.SetLister([&] { return present; });
    QVERIFY(watcher.Start(true));
    QVERIFY(!watcher.UsesUdev());
    QSignalSpy arrived(&watcher, &PortWatcher::deviceArrived);
    QSignalSpy removed(&watcher, &PortWatcher::deviceRemoved);
    present = {"ttyS0", "ttyUSB0"};
    QTRY_COMPARE_WITH_TIMEOUT(arrived.size(), 1, 3000); // the one-second poll notices it
    QCOMPARE(arrived[0][0].toString(), QStringLiteral("ttyUSB0"));
    present = {"ttyUSB0"};
    watcher.PollNow();
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed[0][0].toString(), QStringLiteral("ttyS0"));
    watcher.PollNow();
    QCOMPARE(arrived.size(), 1);
    QCOMPARE(removed.size(), 1);
}

QTEST_GUILESS_MAIN(TestPortList)
#include "tst_portlist.moc"
