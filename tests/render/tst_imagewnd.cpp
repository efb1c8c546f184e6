#include "render/ui/CImageWnd.h"

#include <QSignalSpy>
#include <QtTest>

using namespace vexa;

class TestImageWnd : public QObject {
    Q_OBJECT

private slots:
    void paintsThePreviewAndReportsDoubleClicks() {
        MessageImage image;
        image.controlId = 20064;
        CImageWnd wnd(nullptr, 20064);
        wnd.SetImage(&image);
        QCOMPARE(wnd.property("controlId").toInt(), 20064);
        QCOMPARE(wnd.Image().controlId, 20064);
        wnd.resize(130, 26);
        wnd.Image().rows = 12;
        wnd.SetContent(QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl "
                                      ";\\red0\\green255\\blue0;}\\cf1\\fs24 Hi\\par}"));
        const QImage shot = wnd.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(shot.pixel(0, 0), MessageImage::BorderColour);
        bool green = false;
        for (int y = 1; y < 25; ++y)
            for (int x = 1; x < 129; ++x)
                green |= shot.pixel(x, y) == 0xFF00FF00;
        QVERIFY(green);

        QSignalSpy spy(&wnd, &CImageWnd::doubleClicked);
        QTest::mouseDClick(&wnd, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
    }

    void datePreviewRedrawsEverySecond() {
        MessageImage image;
        CImageWnd wnd;
        wnd.SetImage(&image);
        wnd.resize(300, 34);
        int second = 0;
        wnd.Image().clock = [&second] { return QDateTime(QDate(2020, 1, 1), QTime(10, 0, second)); };
        wnd.SetContent(QStringLiteral("[DATE_000011]"));
        const auto* timer = wnd.findChild<QTimer*>();
        QVERIFY(timer && timer->isActive());
        QCOMPARE(timer->interval(), 1000);
        const QImage first = wnd.grab().toImage();
        second = 1;
        QVERIFY(wnd.grab().toImage() != first); // the clock text moved on
        wnd.SetContent(QStringLiteral("[ASCII]x"));
        QVERIFY(!timer->isActive());
    }
};

QTEST_MAIN(TestImageWnd)
#include "tst_imagewnd.moc"
