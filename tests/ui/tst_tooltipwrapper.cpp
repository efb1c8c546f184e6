#include "ui/ToolTipWrapper.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

using namespace vexa;

namespace {

const QString kLong = QStringLiteral("Double-click the preview to edit the message of this row");

int WidestLine(const QString& text, const QFont& font) {
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString& line : text.split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

} // namespace

class TestToolTipWrapper : public QObject {
    Q_OBJECT

private slots:
    void wrapsAtWordsWithinTheWidth() {
        const QFont font = QToolTip::font();
        const QString wrapped = ToolTipWrapper::Wrap(kLong, font);
        QVERIFY(wrapped.count(u'\n') >= 2);
        QVERIFY(WidestLine(wrapped, font) <= ToolTipWrapper::MaxWidthPx);
        QCOMPARE(QString(wrapped).replace(u'\n', u' '), kLong); // only spaces became line breaks

        QCOMPARE(ToolTipWrapper::Wrap(QStringLiteral("Send"), font), QStringLiteral("Send"));
        const QString word(40, u'W'); // wider than the limit: kept whole on its own line
        QCOMPARE(ToolTipWrapper::Wrap(QStringLiteral("a ") + word, font), QStringLiteral("a\n") + word);
        QCOMPARE(ToolTipWrapper::Wrap(QStringLiteral("COM\n\nport"), font), QStringLiteral("COM\n\nport"));
    }

    // The filter shows the tips of widgets and of item-view entries wrapped.
    void showsWidgetAndEntryTipsWrapped() {
        ToolTipWrapper wrapper;
        qApp->installEventFilter(&wrapper);
        const QString expected = ToolTipWrapper::Wrap(kLong, QToolTip::font());

        QPushButton button(QStringLiteral("Edit"));
        button.setToolTip(kLong);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QHelpEvent onButton(QEvent::ToolTip, QPoint(2, 2), button.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&button, &onButton);
        QTRY_COMPARE(QToolTip::text(), expected);
        QToolTip::hideText();

        QListWidget list;
        list.addItem(QStringLiteral("ttyUSB0"));
        list.item(0)->setToolTip(kLong);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        const QPoint inside = list.visualItemRect(list.item(0)).center();
        QHelpEvent onEntry(QEvent::ToolTip, inside, list.viewport()->mapToGlobal(inside));
        QApplication::sendEvent(list.viewport(), &onEntry);
        QTRY_COMPARE(QToolTip::text(), expected);
        qApp->removeEventFilter(&wrapper);
    }
};

QTEST_MAIN(TestToolTipWrapper)
#include "tst_tooltipwrapper.moc"
