#include "store/CIniFile.h"
#include "store/EncodedTextReader.h"

#include <QRandomGenerator>
#include <QTest>

using namespace vexa;

// Random and mutated input through detection, decoding and parsing: nothing may crash, the
// model's invariants hold, and what is parsed survives a save and reload unchanged.
class TestIniRobustness : public QObject {
    Q_OBJECT

private slots:
    void randomInputKeepsTheModelConsistent() {
        QRandomGenerator rng(20261209);
        const QByteArray alphabet("[]=\r\n abcAB\xFF\xFE\xEF\xBB\xBF\x81\x5B\x00\xC3", 19);
        const LegacyCodePage pages[] = {LegacyCodePage(1252), LegacyCodePage(936), LegacyCodePage(932)};
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes;
            const int length = static_cast<int>(rng.bounded(200));
            for (int i = 0; i < length; ++i) {
                bytes.append(rng.bounded(4) == 0
                                 ? static_cast<char>(rng.bounded(256))
                                 : alphabet.at(static_cast<int>(rng.bounded(alphabet.size()))));
            }
            int offset = 0;
            const TextEncoding encoding = EncodedTextReader::Detect(bytes, &offset);
            const QString text = EncodedTextReader::DecodeBody(bytes.mid(offset), encoding, pages[round % 3]);
            CIniFile ini;
            ini.LoadText(text);
            QCOMPARE(ini.KeyNames().size(), ini.KeyCount());
            for (int k = 0; k < ini.KeyCount(); ++k)
                QCOMPARE(ini.ValueNames(k).size(), ini.ValueTexts(k).size());

            // What was parsed is what a reload of the saved bytes gives (values with CR LF
            // cannot occur: they were cut at the line ends when parsed).
            const QByteArray saved = ini.Serialize();
            CIniFile reread;
            int savedOffset = 0;
            QCOMPARE(EncodedTextReader::Detect(saved, &savedOffset), TextEncoding::Utf16Le);
            reread.LoadText(
                EncodedTextReader::DecodeBody(saved.mid(savedOffset), TextEncoding::Utf16Le, pages[0]));
            for (int k = 0; k < ini.KeyCount(); ++k) {
                const QStringList names = ini.ValueNames(k);
                const QStringList texts = ini.ValueTexts(k);
                for (qsizetype v = 0; v < names.size(); ++v) {
                    if (names[v].isEmpty() || names[v].contains(u'=') || names[v].startsWith(u'['))
                        continue; // never written, or not readable back by design
                    QCOMPARE(reread.GetText(ini.KeyNames()[k], names[v]), texts[v]);
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestIniRobustness)
#include "tst_inirobustness.moc"
