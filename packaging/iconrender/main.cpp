// Build tool: draws the program icon (the same vector picture the windows show) into the
// hicolor icon sizes as PNG files and once as a scalable SVG.
#include "ui/UiPictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdio>

using namespace vexa;

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool WritePng(const QString& root, const QString& name, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        UiPictures::Paint(painter, QRectF(0, 0, size, size), UiPictures::ProgramIcon);
    }
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
    return QDir().mkpath(folder) && image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

bool WriteSvg(const QString& root, const QString& name) {
    const QString folder = root + QStringLiteral("/scalable/apps");
    if (!QDir().mkpath(folder))
        return false;
    QSvgGenerator svg;
    svg.setFileName(folder + QLatin1Char('/') + name + QStringLiteral(".svg"));
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("Vexa Message Editor"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    painter.setRenderHint(QPainter::Antialiasing);
    UiPictures::Paint(painter, QRectF(0, 0, 256, 256), UiPictures::ProgramIcon);
    return painter.end();
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        std::fputs("usage: vexa-iconrender OUTPUT_DIR ICON_NAME\n", stderr);
        return 2;
    }
    bool ok = WriteSvg(args[1], args[2]);
    for (int size : kSizes)
        ok = WritePng(args[1], args[2], size) && ok;
    if (!ok)
        std::fprintf(stderr, "vexa-iconrender: cannot write the icons into %s\n", qPrintable(args[1]));
    return ok ? 0 : 1;
}
