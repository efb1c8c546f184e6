#include "render/RunFont.h"

#include <QFontMetricsF>
#include <QRawFont>
#include <QtEndian>
#include <cmath>

namespace vexa {

namespace {

// Face names of Chinese, Japanese and Korean system fonts that documents name.
const QStringList& CjkFaceNames() {
    static const QStringList names = {
        QStringLiteral("MingLiU"),
        QStringLiteral("PMingLiU"),
        QStringLiteral("MingLiU_HKSCS"),
        QStringLiteral("SimSun"),
        QStringLiteral("NSimSun"),
        QStringLiteral("SimHei"),
        QStringLiteral("KaiTi"),
        QStringLiteral("KaiTi_GB2312"),
        QStringLiteral("FangSong"),
        QStringLiteral("FangSong_GB2312"),
        QStringLiteral("Microsoft YaHei"),
        QStringLiteral("Microsoft JhengHei"),
        QStringLiteral("DFKai-SB"),
        QStringLiteral("MS Gothic"),
        QStringLiteral("MS PGothic"),
        QStringLiteral("MS Mincho"),
        QStringLiteral("MS PMincho"),
        QStringLiteral("Meiryo"),
        QStringLiteral("Gulim"),
        QStringLiteral("Dotum"),
        QStringLiteral("Batang"),
        QStringLiteral("Malgun Gothic"),
        QStringLiteral("宋体"),
        QStringLiteral("新宋体"),
        QStringLiteral("黑体"),
        QStringLiteral("楷体"),
        QStringLiteral("仿宋"),
        QStringLiteral("微软雅黑"),
        QStringLiteral("细明体"),
        QStringLiteral("新细明体"),
        QStringLiteral("細明體"),
        QStringLiteral("新細明體"),
        QStringLiteral("標楷體"),
        QStringLiteral("微軟正黑體"),
    };
    return names;
}

// RTF character sets of CJK code pages: Shift-JIS, Hangul, Johab, GB2312, Big5.
bool IsCjkCharset(int charset) {
    return charset == 128 || charset == 129 || charset == 130 || charset == 134 || charset == 136;
}

} // namespace

const QString& RunFont::CjkSubstitute() {
    static const QString face = QStringLiteral("WenQuanYi Micro Hei");
    return face;
}

bool RunFont::IsCjkFace(const QString& face, int charset) {
    return IsCjkCharset(charset) || CjkFaceNames().contains(face, Qt::CaseInsensitive);
}

QStringList RunFont::FamiliesFor(const QString& face, int charset) {
    if (IsCjkFace(face, charset))
        return {CjkSubstitute()};
    return {face.isEmpty() ? QStringLiteral("Arial") : face};
}

RunFont::CellMetrics RunFont::MetricsOf(const QFont& font) {
    QFont probe = font;
    probe.setPixelSize(256);
    const QRawFont raw = QRawFont::fromFont(probe);
    const QByteArray os2 = raw.fontTable("OS/2");
    CellMetrics m;
    if (raw.isValid() && os2.size() >= 78) {
        m.unitsPerEm = raw.unitsPerEm();
        m.winAscent = qFromBigEndian<quint16>(os2.constData() + 74);
        m.winDescent = qFromBigEndian<quint16>(os2.constData() + 76);
    }
    if (m.winAscent + m.winDescent <= 0 || m.unitsPerEm <= 0) {
        // A face without OS/2 metrics: use its ascent and descent at the probe size.
        const QFontMetricsF metrics(probe);
        m.unitsPerEm = 256;
        m.winAscent = metrics.ascent();
        m.winDescent = metrics.descent();
        if (m.winAscent + m.winDescent <= 0)
            m.winAscent = 256;
    }
    return m;
}

void RunFont::SetPixelSize(QFont& target, double pixels, const QPaintDevice& device) {
    const int dpi = device.logicalDpiY() > 0 ? device.logicalDpiY() : 96;
    target.setPointSizeF(std::max(0.01, pixels * 72.0 / dpi));
}

RunFont::RunFont(const TextRun& run, const QPaintDevice& device) {
    font.setFamilies(FamiliesFor(run.faceName, run.charset));
    font.setWeight(run.bold == 1 ? QFont::Bold : QFont::Light);
    font.setItalic(run.italic != 0);
    font.setUnderline(run.underline != 0);
    font.setStyleHint(QFont::Serif, QFont::NoAntialias);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    cell = std::max(0, run.size);
    const CellMetrics m = MetricsOf(font);
    const double sum = m.winAscent + m.winDescent;
    SetPixelSize(font, cell * m.unitsPerEm / sum, device);
    const int descent = static_cast<int>(std::lround(cell * m.winDescent / sum));
    baseline = cell - descent;
}

RunFont::RunFont(const QString& face, double emPixels, const QPaintDevice& device) {
    font.setFamilies({face});
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setKerning(false);
    SetPixelSize(font, emPixels, device);
    const QFontMetricsF metrics(font, &device);
    cell = static_cast<int>(std::ceil(metrics.ascent() + metrics.descent()));
    baseline = static_cast<int>(std::lround(metrics.ascent()));
}

} // namespace vexa
