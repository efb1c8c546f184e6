// File > Open fleet…: a line of a fleet file becomes the window's work folder, with the
// line's port, model and 485 option.

#include "app/CVexaApp.h"
#include "app/WorkFiles.h"
#include "app/ui/CFleetDlg.h"
#include "app/ui/CVexaDlg.h"
#include "app/ui/CWzdStatusBar.h"
#include "app/ui/EditorSession.h"
#include "app/ui/IContentEditorLauncher.h"
#include "core/ModelCatalogue.h"
#include "store/AppPaths.h"
#include "store/SystemSettings.h"
#include "support/WhenModal.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace vexa;
using namespace vexa::test;

class TestOpenFleet : public QObject {
    Q_OBJECT
private slots:
    void lineBecomesTheWorkFolder();
};

void TestOpenFleet::lineBecomesTheWorkFolder() {
    QTemporaryDir dir;
    const QString start = dir.filePath(QStringLiteral("start"));
    const QString north = dir.filePath(QStringLiteral("north"));
    for (const QString& folder : {start, north}) {
        const AppPaths paths(folder, folder);
        QVERIFY(QDir().mkpath(paths.WorkDataDir()));
        SystemSettings settings(paths.SystemSetPath());
        QVERIFY(settings.SetLedType(folder == start ? QStringLiteral("P13") : QStringLiteral("P29")));
        QVERIFY(settings.SetNowSelID(1));
        QVERIFY(WorkFiles::WriteTemplate(ModelCatalogue::TemplateFor(QStringLiteral("P29")),
                                         paths.WorkFilePath(1)));
    }
    const QString fleet = dir.filePath(QStringLiteral("site.fleet"));
    QFile file(fleet);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Line gone]\nPort=tcp://127.0.0.1:4002\nModel=P30\nDataDir=missing\n\n"
               "[Line north]\nPort=tcp://127.0.0.1:4001\nModel=P30\nDataDir=north\nMode485=1\n");
    file.close();

    EditorSession session({0, false,
                           [] {
                               CVexaDlg::Services services;
                               services.listPorts = [] { return QList<SerialPortList::Port>(); };
                               services.watchPorts = false;
                               return services;
                           },
                           false, true});
    session.Open(start);
    QVERIFY(QTest::qWaitForWindowExposed(session.Window()));
    QVERIFY(session.Window()->Command(CVexaDlg::FleetOpen)->isEnabled());

    // The line without a folder says so and cannot be chosen; the other opens.
    WhenModal<CFleetDlg>([](CFleetDlg* dialog) {
        auto* list = Get<QTreeWidget>(dialog, CFleetDlg::LineList);
        auto* ok = Get<QAbstractButton>(dialog, 1);
        list->setCurrentItem(list->topLevelItem(0));
        QVERIFY(!ok->isEnabled());
        QVERIFY(!Get<QLabel>(dialog, CFleetDlg::ProblemLabel)->text().isEmpty());
        list->setCurrentItem(list->topLevelItem(1));
        QVERIFY(ok->isEnabled());
        QTest::keyClick(list, Qt::Key_Return);
    });
    session.Window()->OpenFleetFile(fleet);
    QTRY_VERIFY(session.App() && session.App()->Paths().WritableRoot() == north);

    CVexaDlg* window = session.Window();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(window->windowTitle().endsWith(QStringLiteral("north")));
    QCOMPARE(window->StatusPanes()->PaneText(1), QStringLiteral("COM:tcp://127.0.0.1:4001"));
    QCOMPARE(Get<QComboBox>(window, CVexaDlg::ModelList)->currentText(), QStringLiteral("P30"));
    QVERIFY(Get<QCheckBox>(window, CVexaDlg::Check485)->isChecked());
    // The line's folder keeps what was applied (P29 to P30 keeps the messages: one group).
    SystemSettings stored(AppPaths(north, north).SystemSetPath());
    QCOMPARE(stored.LedType(), QStringLiteral("P30"));
    QCOMPARE(stored.Mode485(), 1);
}

QTEST_MAIN(TestOpenFleet)
#include "tst_openfleet.moc"
