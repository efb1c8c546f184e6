#include "cli/RenderAnimation.h"

#include "app/CVexaApp.h"
#include "cli/CliContext.h"
#include "core/ModelCatalogue.h"
#include "playback/AnimatedPicture.h"
#include "render/PlaybackSource.h"
#include "store/AtomicFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vexa {

namespace {

const char* FormatName(AnimatedPicture::Format format) {
    switch (format) {
    case AnimatedPicture::Format::Apng:
        return "apng";
    case AnimatedPicture::Format::Gif:
        return "gif";
    case AnimatedPicture::Format::Webp:
        break;
    }
    return "webp";
}

} // namespace

int RenderAnimation::Run(CliContext& context, const DisplayModel& model, const Options& options) {
    QString error;
    const std::optional<AnimatedPicture::Format> format = AnimatedPicture::FormatOf(options.path, &error);
    if (!format) {
        CliContext::PrintError(QStringLiteral("render: ") + error);
        return CliContext::UsageError;
    }
    if (options.row && (*options.row < 0 || *options.row >= model.slotCount)) {
        CliContext::PrintError(QStringLiteral("render: --row must be 0 to %1 on %2")
                                   .arg(model.slotCount - 1)
                                   .arg(QString::fromLatin1(model.name)));
        return CliContext::UsageError;
    }
    if (options.signWidth) {
        if (SignGeometry::WidthFixed(model)) {
            CliContext::PrintError(
                QStringLiteral("render: %1 signs are %2 columns wide; --sign-width is for models "
                               "without a page width")
                    .arg(QString::fromLatin1(model.name))
                    .arg(model.pageWidth));
            return CliContext::UsageError;
        }
        if (!SignGeometry::WidthAllowed(*options.signWidth)) {
            CliContext::PrintError(QStringLiteral("render: --sign-width must be %1 to %2")
                                       .arg(SignGeometry::MinWidth)
                                       .arg(SignGeometry::MaxWidth));
            return CliContext::UsageError;
        }
    }
    if (options.loops < 0 || options.zoom < 1 || options.zoom > AnimatedPicture::MaxZoom) {
        CliContext::PrintError(QStringLiteral("render: --loops must be 0 or more, --zoom 1 to %1")
                                   .arg(AnimatedPicture::MaxZoom));
        return CliContext::UsageError;
    }

    CVexaApp& app = context.App();
    const SignGeometry sign =
        SignGeometry::For(model, options.signWidth.value_or(app.settingsFile.SignWidth()),
                          options.led.value_or(app.settingsFile.SignColour()));
    app.rowImages.ApplyModel(model);
    app.rowImages.LoadPreviews(model, app.messageTable);
    const PlaybackProgramme programme =
        PlaybackSource::Programme(app.rowImages, app.messageTable, model, sign, options.row);
    if (programme.IsEmpty()) {
        CliContext::PrintError(options.row
                                   ? QStringLiteral("render: row %1 has nothing to show").arg(*options.row)
                                   : QStringLiteral("render: no row to send has anything to show"));
        return CliContext::Failure;
    }
    const QByteArray bytes = AnimatedPicture::Encode(
        *format, AnimatedPicture::FromProgramme(programme, options.zoom, options.loops), &error);
    if (bytes.isEmpty() || AtomicFile::Write(options.path, bytes, &error) != AtomicFile::Result::Ok) {
        CliContext::PrintError(QStringLiteral("render: cannot write %1: %2").arg(options.path, error));
        return CliContext::Failure;
    }

    const QStringList warnings = PlaybackSource::Notes(model, app.messageTable, programme, nullptr, 0);
    if (options.json) {
        QJsonArray frames;
        for (int i = 0; i < programme.StepCount(); ++i) {
            const PlaybackStep& step = programme.Steps()[size_t(i)];
            frames.append(QJsonObject{{QStringLiteral("index"), i},
                                      {QStringLiteral("row"), step.row},
                                      {QStringLiteral("page"), step.page},
                                      {QStringLiteral("durationMs"), step.durationMs}});
        }
        CliContext::PrintJson(QJsonDocument(
            QJsonObject{{QStringLiteral("model"), QString::fromLatin1(model.name)},
                        {QStringLiteral("file"), options.path},
                        {QStringLiteral("format"), QString::fromLatin1(FormatName(*format))},
                        {QStringLiteral("sign"), QJsonObject{{QStringLiteral("columns"), sign.columns},
                                                             {QStringLiteral("rows"), sign.rows},
                                                             {QStringLiteral("pagePitch"), sign.pagePitch}}},
                        {QStringLiteral("durationMs"), programme.DurationMs()},
                        {QStringLiteral("loops"), options.loops},
                        {QStringLiteral("frames"), frames},
                        {QStringLiteral("warnings"), QJsonArray::fromStringList(warnings)}}));
        return 0;
    }
    for (const QString& warning : warnings)
        CliContext::PrintError(QStringLiteral("render: warning: ") + warning);
    CliContext::PrintLine(QStringLiteral("%1: %2 frames, %3 ms, a %4 x %5 sign (%6)")
                              .arg(options.path)
                              .arg(programme.StepCount())
                              .arg(programme.DurationMs())
                              .arg(sign.columns)
                              .arg(sign.rows)
                              .arg(QString::fromLatin1(model.name)));
    return 0;
}

} // namespace vexa
