#include "sim/DotRenderer.h"
#include "sim/SignResponder.h"

#include <QtTest>

using namespace vexa;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

QJsonObject Probe(int id) {
    return {{"event", "probe"}, {"id", id}};
}

const DisplayModel& Model(const char* name) {
    return *ModelCatalogue::Find(QString::fromLatin1(name));
}

} // namespace

class TestResponder : public QObject {
    Q_OBJECT

private slots:
    void scanProbesAnswerConfiguredIdsOnly() {
        SignResponder responder(LinkFamily::RowDirectory, {3, 7});
        QVERIFY(responder.OnEvent(Probe(1), 0).replies.empty());
        QCOMPARE(responder.OnEvent(Probe(3), 0).replies, (std::vector<QByteArray>{Hex("CC42001A00401003")}));
        QCOMPARE(responder.OnEvent(Probe(7), 0).replies, (std::vector<QByteArray>{Hex("CC42001A00401007")}));
        // The probe for ID 1 is only a probe outside family 5: no deferred read-ID answer.
        QVERIFY(!responder.Deadline());
    }

    void readIdRepliesPerFamily() {
        SignResponder plain(LinkFamily::SlotTrailer, {12});
        QCOMPARE(plain.OnEvent({{"event", "read-id"}}, 0).replies,
                 (std::vector<QByteArray>{Hex("84659C5A0C")}));

        // Family 5: a lone probe for ID 1 is the read-ID command ...
        SignResponder addressed(LinkFamily::AddressedBlocks, {12});
        QVERIFY(addressed.OnEvent(Probe(1), 1000).replies.empty());
        QCOMPARE(*addressed.Deadline(), qint64(1000 + SignResponder::ReadIdWindowMs));
        QVERIFY(addressed.OnTick(1100).replies.empty());
        QCOMPARE(addressed.OnTick(1250).replies, (std::vector<QByteArray>{Hex("CC42001A0040100C")}));
        QVERIFY(!addressed.Deadline());

        // ... unless the probe for ID 2 follows: then a scan runs and only ID 12's probe answers.
        QVERIFY(addressed.OnEvent(Probe(1), 2000).replies.empty());
        QVERIFY(addressed.OnEvent(Probe(2), 2040).replies.empty());
        QVERIFY(addressed.OnTick(5000).replies.empty());
        QCOMPARE(addressed.OnEvent(Probe(12), 5000).replies.size(), size_t(1));

        // With ID 1 on the line both readings agree and the answer leaves at once.
        SignResponder one(LinkFamily::AddressedBlocks, {1});
        QCOMPARE(one.OnEvent(Probe(1), 0).replies, (std::vector<QByteArray>{Hex("CC42001A00401001")}));
    }

    void setIdChangesTheSign() {
        SignResponder responder(LinkFamily::PagedBlocks, {3, 7});
        const SignResponder::Outcome ignored =
            responder.OnEvent({{"event", "set-id"}, {"from", 5}, {"to", 9}}, 0);
        QVERIFY(ignored.replies.empty());
        const SignResponder::Outcome changed =
            responder.OnEvent({{"event", "set-id"}, {"from", 7}, {"to", 9}}, 0);
        QCOMPARE(changed.replies, (std::vector<QByteArray>{Hex("CC")}));
        QCOMPARE(responder.Ids(), (std::vector<int>{3, 9}));
        QCOMPARE(changed.events.front().value("event").toString(), QStringLiteral("id-changed"));
        QCOMPARE(responder.OnEvent(Probe(9), 0).replies.size(), size_t(1));
        QVERIFY(responder.OnEvent(Probe(7), 0).replies.empty());
    }

    void clockAcknowledgements() {
        const QJsonObject clock{{"event", "clock"}};
        QCOMPARE(SignResponder(LinkFamily::SlotTrailer, {1}).OnEvent(clock, 0).replies.at(0), Hex("CC"));
        const QByteArray wide =
            SignResponder(LinkFamily::RowDirectory12, {1}).OnEvent(clock, 0).replies.at(0);
        QCOMPARE(wide.size(), 16);
        QCOMPARE(wide.left(4), Hex("55555555"));
        const QByteArray addressed =
            SignResponder(LinkFamily::AddressedBlocks, {1}).OnEvent(clock, 0).replies.at(0);
        QCOMPARE(addressed.size(), 14);
        QCOMPARE(addressed.left(4), Hex("7E01F100"));
    }

    void faultSwitches() {
        SignResponder silent(LinkFamily::RowDirectory, {3}, SignResponder::Fault::Silent);
        QVERIFY(silent.OnEvent(Probe(3), 0).replies.empty());
        QVERIFY(silent.OnEvent({{"event", "clock"}}, 0).replies.empty());

        // Noise never has the length of a reply the program recognises.
        SignResponder noisy(LinkFamily::RowDirectory, {3}, SignResponder::Fault::Garbage);
        for (int i = 0; i < 50; ++i) {
            const auto replies = noisy.OnEvent(Probe(3), 0).replies;
            QCOMPARE(replies.size(), size_t(1));
            QVERIFY(!QList<qsizetype>({1, 5, 8, 14, 16}).contains(replies[0].size()));
        }
    }

    // 10 × 12 dots with (0,0) and (9,11) lit, packed one bit per dot, rows of whole bytes.
    void rendersOneBitRows() {
        QByteArray data(24, '\0');
        data[0] = char(0x80);
        data[23] = char(0x40);
        const QImage image = DotRenderer::Render(Model("P19"), data, 0);
        QCOMPARE(image.size(), QSize(16, 12));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::red));
        QCOMPARE(image.pixelColor(9, 11), QColor(Qt::red));
        QCOMPARE(image.pixelColor(1, 0), QColor(Qt::black));
        QCOMPARE(image.pixelColor(8, 11), QColor(Qt::black));
        // 7-row models export 12 lines.
        QCOMPARE(DotRenderer::Render(Model("P01"), data, 1).size(), QSize(16, 12));
        QVERIFY(DotRenderer::Render(Model("P19"), QByteArray(13, '\0'), 0).isNull());
        QVERIFY(DotRenderer::Render(Model("P04"), data, 0).isNull());
    }

    void rendersColourPlanes() {
        const DisplayModel& paired = Model("P06");
        QByteArray red(7, '\0');
        QByteArray green(7, '\0');
        red[0] = char(0xC0);
        green[0] = char(0x60);
        const QImage both =
            DotRenderer::Combine(DotRenderer::Render(paired, red, 0), DotRenderer::Render(paired, green, 1));
        QCOMPARE(both.pixelColor(0, 0), QColor(255, 0, 0));
        QCOMPARE(both.pixelColor(1, 0), QColor(255, 255, 0));
        QCOMPARE(both.pixelColor(2, 0), QColor(0, 255, 0));
        QCOMPARE(both.pixelColor(3, 0), QColor(0, 0, 0));
    }

    // 2-bit pages: green bit then red bit per dot, lowest bits first; family 2 lights with 0.
    void rendersTwoBitPages() {
        const DisplayModel& addressed = Model("P26"); // 64 columns, lit = 1
        QByteArray data(256, '\0');
        data[0] = char(0b00'01'10'11);            // dot 0 yellow, dot 1 red, dot 2 green, dot 3 dark
        data[16 * 15 + 15] = char(0b10'00'00'00); // line 15, dot 63 red
        const QImage image = DotRenderer::Render(addressed, data, 0);
        QCOMPARE(image.size(), QSize(64, 16));
        QCOMPARE(image.pixelColor(0, 0), QColor(255, 255, 0));
        QCOMPARE(image.pixelColor(1, 0), QColor(255, 0, 0));
        QCOMPARE(image.pixelColor(2, 0), QColor(0, 255, 0));
        QCOMPARE(image.pixelColor(3, 0), QColor(0, 0, 0));
        QCOMPARE(image.pixelColor(63, 15), QColor(255, 0, 0));

        const DisplayModel& paged = Model("P29"); // 48 columns, 256-byte pages, lit = 0
        QByteArray inverted(512, char(0xFF));
        inverted[0] = char(0b11'11'01'00); // dot 0 yellow, dot 1 red
        const QImage pages = DotRenderer::Render(paged, inverted, 0);
        QCOMPARE(pages.size(), QSize(96, 16));
        QCOMPARE(pages.pixelColor(0, 0), QColor(255, 255, 0));
        QCOMPARE(pages.pixelColor(1, 0), QColor(255, 0, 0));
        QCOMPARE(pages.pixelColor(2, 0), QColor(0, 0, 0));
    }
};

QTEST_GUILESS_MAIN(TestResponder)
#include "tst_responder.moc"
