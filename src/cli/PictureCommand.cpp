#include "cli/PictureCommand.h"

#include "cli/CliContext.h"
#include "cli/RenderInputs.h"
#include "cli/VerbParser.h"
#include "render/PicturePreparer.h"
#include "render/PictureReader.h"
#include "render/PngFile.h"

#include <QFileInfo>
#include <QJsonObject>

namespace vexa {

namespace {

struct Parsed {
    PictureOptions options;
    QString error;
};

std::optional<SignLight> LightNamed(const QString& name) {
    if (name == QLatin1String("red"))
        return SignLight::Red;
    if (name == QLatin1String("green"))
        return SignLight::Green;
    if (name == QLatin1String("yellow"))
        return SignLight::Yellow;
    return std::nullopt;
}

Parsed ReadOptions(const VerbParser& parser, const DisplayModel& model) {
    Parsed parsed;
    PictureOptions& o = parsed.options;
    QString& error = parsed.error;
    if (const auto height = parser.IntValue(QStringLiteral("height"), &error)) {
        if (*height < 1 || *height > model.rows)
            error = QStringLiteral("--height goes from 1 to %1 on %2")
                        .arg(model.rows)
                        .arg(QLatin1String(model.name));
        o.height = *height;
    }
    if (const auto width = parser.IntValue(QStringLiteral("max-width"), &error)) {
        if (*width < 1)
            error = QStringLiteral("--max-width takes a number of columns above 0");
        o.maxWidth = *width;
    }
    if (parser.isSet(QStringLiteral("threshold")) && parser.isSet(QStringLiteral("dither")))
        error = QStringLiteral("--threshold and --dither exclude each other");
    const QString threshold = parser.value(QStringLiteral("threshold"));
    if (parser.isSet(QStringLiteral("threshold")) && threshold != QLatin1String("auto")) {
        bool ok = false;
        o.level = threshold.toInt(&ok);
        if (!ok || o.level < 0 || o.level > 255)
            error =
                QStringLiteral("--threshold takes auto or a level from 0 to 255, not '%1'").arg(threshold);
    }
    if (parser.isSet(QStringLiteral("dither"))) {
        const QString dither = parser.value(QStringLiteral("dither"));
        if (dither == QLatin1String("fs"))
            o.dots = DotMethod::FloydSteinberg;
        else if (dither == QLatin1String("ordered"))
            o.dots = DotMethod::Ordered;
        else
            error = QStringLiteral("--dither takes fs or ordered, not '%1'").arg(dither);
    }
    if (parser.isSet(QStringLiteral("invert")) && parser.isSet(QStringLiteral("no-invert")))
        error = QStringLiteral("--invert and --no-invert exclude each other");
    if (parser.isSet(QStringLiteral("invert")))
        o.background = PictureBackground::Invert;
    if (parser.isSet(QStringLiteral("no-invert")))
        o.background = PictureBackground::Keep;
    if (parser.isSet(QStringLiteral("colour"))) {
        o.colour = LightNamed(parser.value(QStringLiteral("colour")));
        if (!o.colour || SignColours::IsSingleColour(model.packKind))
            error = SignColours::IsSingleColour(model.packKind)
                        ? QStringLiteral("--colour: %1 signs light one colour").arg(QLatin1String(model.name))
                        : QStringLiteral("--colour takes red, green or yellow");
    }
    return parsed;
}

} // namespace

int PictureCommand::Run(CliContext& context, const QStringList& args) {
    VerbParser parser(
        QStringLiteral("picture"),
        QStringLiteral("Prepare a picture for a model's signs: scaled to the sign's height (area averaging "
                       "in linear light), a light ground made dark, thresholded or dithered, and every lit "
                       "dot in a colour the sign lights. Writes OUT as a PNG that an image row shows exactly "
                       "as the sign does, and prints its size and lit dots."),
        QStringLiteral("IN OUT.png"));
    const QList<QCommandLineOption> options{
        RenderInputs::ModelOption(),
        {QStringLiteral("height"),
         QStringLiteral("Rows of the result, at most the sign's (default: the sign's)."),
         QStringLiteral("H")},
        {QStringLiteral("threshold"),
         QStringLiteral(
             "auto (the default: chosen from the picture) or a level 0-255; dots above it are lit."),
         QStringLiteral("auto|LEVEL")},
        {QStringLiteral("dither"),
         QStringLiteral("Dither instead of a threshold: fs (Floyd-Steinberg) or ordered."),
         QStringLiteral("fs|ordered")},
        {QStringLiteral("invert"),
         QStringLiteral("Dark art on a light ground: mirror the lightness, keep colours.")},
        {QStringLiteral("no-invert"),
         QStringLiteral("Keep the picture's lightness (default: invert when its border is mostly light).")},
        {QStringLiteral("colour"),
         QStringLiteral(
             "Every lit dot red, green or yellow (two-colour signs; default: each dot's nearest)."),
         QStringLiteral("C")},
        {QStringLiteral("max-width"), QStringLiteral("Columns at most; a wider picture is made lower."),
         QStringLiteral("W")},
        {QStringLiteral("json"), QStringLiteral("Print JSON.")},
    };
    parser.addOptions(options);
    if (auto exit = parser.Parse(args, 2))
        return *exit;
    const QString name = parser.isSet(QStringLiteral("model")) ? parser.value(QStringLiteral("model"))
                                                               : context.App().ModelName();
    const DisplayModel* model = ModelCatalogue::Find(name);
    if (!model) {
        CliContext::PrintError(QStringLiteral("picture: unknown model '%1' (P01 to P36)").arg(name));
        return CliContext::UsageError;
    }
    const Parsed parsed = ReadOptions(parser, *model);
    if (!parsed.error.isEmpty()) {
        CliContext::PrintError(QStringLiteral("picture: ") + parsed.error);
        return CliContext::UsageError;
    }
    const QString in = parser.positionalArguments().at(0);
    const QString out = parser.positionalArguments().at(1);
    if (QFileInfo::exists(out) && QFileInfo(out).canonicalFilePath() == QFileInfo(in).canonicalFilePath()) {
        CliContext::PrintError(
            QStringLiteral("picture: OUT is the picture itself; it is never written over"));
        return CliContext::UsageError;
    }
    const PictureReader::Picture picture = PictureReader::Read(in, model->rows);
    if (picture.image.isNull()) {
        CliContext::PrintError(QStringLiteral("picture: cannot read %1: %2").arg(in, picture.error));
        return CliContext::Failure;
    }
    const std::optional<PreparedPicture> prepared =
        PicturePreparer::Prepare(picture.image, *model, parsed.options);
    QString reason;
    if (!prepared || !PngFile::Write(prepared->image, out, &reason)) {
        CliContext::PrintError(QStringLiteral("picture: cannot write %1: %2").arg(out, reason));
        return CliContext::Failure;
    }
    const QSize size = prepared->image.size();
    if (parser.isSet(QStringLiteral("json"))) {
        QJsonObject o{{QStringLiteral("path"), QFileInfo(out).absoluteFilePath()},
                      {QStringLiteral("model"), QString::fromLatin1(model->name)},
                      {QStringLiteral("width"), size.width()},
                      {QStringLiteral("height"), size.height()},
                      {QStringLiteral("litDots"), prepared->litDots},
                      {QStringLiteral("inverted"), prepared->inverted},
                      {QStringLiteral("sourceWidth"), picture.fileSize.width()},
                      {QStringLiteral("sourceHeight"), picture.fileSize.height()}};
        if (parsed.options.dots == DotMethod::Threshold)
            o.insert(QStringLiteral("threshold"), prepared->level);
        CliContext::PrintJson(QJsonDocument(o));
        return 0;
    }
    QStringList notes;
    if (parsed.options.dots == DotMethod::Threshold)
        notes << QStringLiteral("threshold %1").arg(prepared->level);
    else
        notes << (parsed.options.dots == DotMethod::Ordered ? QStringLiteral("ordered dither")
                                                            : QStringLiteral("Floyd-Steinberg dither"));
    if (prepared->inverted)
        notes << QStringLiteral("lightness inverted");
    CliContext::PrintLine(QStringLiteral("%1: %2 x %3, %4 dots lit (%5)")
                              .arg(out)
                              .arg(size.width())
                              .arg(size.height())
                              .arg(prepared->litDots)
                              .arg(notes.join(QStringLiteral(", "))));
    return 0;
}

} // namespace vexa
