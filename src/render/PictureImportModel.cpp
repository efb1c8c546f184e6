#include "render/PictureImportModel.h"

#include "render/PictureReader.h"
#include "render/PngFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vexa {

namespace {

// A file name stem from a picture's name that every file system and the image list take:
// no separators, no ";" (it separates the pictures of a row), no control characters.
QString NameStem(const QString& sourcePath) {
    QString stem = QFileInfo(sourcePath).completeBaseName().left(100);
    for (QChar& c : stem) {
        if (c.category() == QChar::Other_Control || QStringLiteral("/\\;:*?\"<>|").contains(c))
            c = u'_';
    }
    while (stem.startsWith(u'.'))
        stem.remove(0, 1);
    stem = stem.trimmed();
    return stem.isEmpty() ? QStringLiteral("picture") : stem;
}

QString Candidate(const QString& folder, const QString& stem, int number) {
    const QString name = number == 1 ? stem : QStringLiteral("%1-%2").arg(stem).arg(number);
    return QDir(folder).filePath(name + QStringLiteral(".png"));
}

constexpr int kMaxCandidates = 10000;

} // namespace

struct PictureImportModel::Outcome {
    State state = State::Failed;
    QString error;
    QSize sourceSize;
    QImage thumbnail;
    PreparedPicture result;
};

PictureImportModel::PictureImportModel(const Setup& setup, QObject* parent)
    : QObject(parent), model(setup.model ? setup.model : &ModelCatalogue::All().front()),
      picturesDir(setup.picturesDir), led(setup.led) {
    worker = std::thread([this] { WorkerLoop(); });
}

PictureImportModel::~PictureImportModel() {
    {
        std::lock_guard lock(mutex);
        stopping = true;
        ++latest;
    }
    wake.notify_all();
    worker.join();
}

void PictureImportModel::Open(const QString& path) {
    sourcePath = path;
    Start();
}

void PictureImportModel::SetOptions(const PictureOptions& chosen) {
    options = chosen;
    if (!sourcePath.isEmpty())
        Start();
}

void PictureImportModel::Cancel() {
    if (state != State::Working)
        return;
    ++latest;
    state = State::Cancelled;
    emit Changed();
}

void PictureImportModel::Start() {
    state = State::Working;
    progress = 0;
    error.clear();
    {
        std::lock_guard lock(mutex);
        pending = Request{++latest, sourcePath, options};
    }
    wake.notify_all();
    emit Changed();
}

void PictureImportModel::WorkerLoop() {
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [this] { return stopping || pending.has_value(); });
            if (stopping)
                return;
            request = *std::exchange(pending, std::nullopt);
        }
        Run(request);
    }
}

void PictureImportModel::Run(const Request& request) {
    if (request.generation != latest)
        return;
    if (request.path != readPath) {
        // Read for the sign's full height: a lower chosen height needs no new reading.
        PictureReader::Picture picture = PictureReader::Read(request.path, model->rows);
        readPath = request.path;
        readImage = picture.image;
        readSize = picture.fileSize;
        readError = picture.error;
        readThumbnail =
            readImage.width() > ThumbnailSize.width() || readImage.height() > ThumbnailSize.height()
                ? readImage.scaled(ThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                : readImage;
    }
    Outcome outcome;
    outcome.sourceSize = readSize;
    outcome.thumbnail = readThumbnail;
    if (readImage.isNull()) {
        outcome.error = readError;
        Deliver(request.generation, std::move(outcome));
        return;
    }
    int reported = -1;
    const auto onProgress = [&](int percent) {
        if (request.generation != latest)
            return false;
        if (percent != reported) {
            reported = percent;
            Report(request.generation, percent);
        }
        return true;
    };
    std::optional<PreparedPicture> prepared =
        PicturePreparer::Prepare(readImage, *model, request.options, onProgress);
    if (!prepared)
        return; // cancelled, or a newer request is on its way
    outcome.state = State::Ready;
    outcome.result = std::move(*prepared);
    Deliver(request.generation, std::move(outcome));
}

void PictureImportModel::Deliver(quint64 generation, Outcome outcome) {
    QMetaObject::invokeMethod(
        this,
        [this, generation, outcome = std::move(outcome)] {
            if (generation != latest)
                return;
            state = outcome.state;
            error = outcome.error;
            sourceSize = outcome.sourceSize;
            thumbnail = outcome.thumbnail;
            result = outcome.result;
            progress = 100;
            emit Changed();
        },
        Qt::QueuedConnection);
}

void PictureImportModel::Report(quint64 generation, int percent) {
    QMetaObject::invokeMethod(
        this,
        [this, generation, percent] {
            if (generation != latest || state != State::Working)
                return;
            progress = percent;
            emit Changed();
        },
        Qt::QueuedConnection);
}

QImage PictureImportModel::ResultPreview(QSize client) {
    canvas.SetGeometry(client, model->rows);
    if (!canvas.HasDots())
        return canvas.Compose(QImage());
    QImage dots(canvas.DrawnColumns(), model->rows, QImage::Format_ARGB32_Premultiplied);
    dots.fill(SignColours::OpaqueBlack);
    if (state == State::Ready) {
        const QImage& image = result.image;
        const int columns = std::min(image.width(), dots.width());
        for (int y = 0; y < std::min(image.height(), dots.height()); ++y) {
            const auto* from = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            auto* to = reinterpret_cast<QRgb*>(dots.scanLine(y));
            for (int x = 0; x < columns; ++x)
                to[x] = SignColours::PreviewArgb(model->packKind, led, from[x]);
        }
    }
    return canvas.Compose(dots);
}

QString PictureImportModel::FreeName(const QString& folder, const QString& sourcePath) {
    const QString stem = NameStem(sourcePath);
    for (int number = 1; number < kMaxCandidates; ++number) {
        const QString path = Candidate(folder, stem, number);
        if (!QFileInfo::exists(path))
            return path;
    }
    return {};
}

QString PictureImportModel::Save(QString* errorText) {
    const auto fail = [&](const QString& reason) {
        if (errorText)
            *errorText = reason;
        return QString();
    };
    if (state != State::Ready)
        return fail(QStringLiteral("no picture is prepared"));
    if (!QDir().mkpath(picturesDir))
        return fail(QStringLiteral("the folder %1 could not be created").arg(picturesDir));
    const QString stem = NameStem(sourcePath);
    for (int number = 1; number < kMaxCandidates; ++number) {
        const QString path = Candidate(picturesDir, stem, number);
        // The name is taken by creating the file, so a picture saved meanwhile by another
        // window is never replaced.
        QFile reserved(path);
        if (!reserved.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
                continue;
            return fail(QStringLiteral("%1 could not be created: %2").arg(path, reserved.errorString()));
        }
        reserved.close();
        QString reason;
        if (PngFile::Write(result.image, path, &reason))
            return path;
        QFile::remove(path);
        return fail(QStringLiteral("%1 could not be written: %2").arg(path, reason));
    }
    return fail(QStringLiteral("every name for %1 in %2 is taken").arg(stem, picturesDir));
}

} // namespace vexa
