#pragma once

#include "core/ModelCatalogue.h"
#include "core/SignColours.h"
#include "render/PicturePreparer.h"
#include "render/PreviewCanvas.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace vexa {

// What the picture import dialog reads, decides and writes: a picture file read and prepared
// for the sign's model with the chosen options, the original and the result side by side,
// and the prepared copy saved under a name of its own in the pictures folder. Reading and
// preparing run on a worker thread (a photo of many megapixels takes a moment), report
// their progress and can be cancelled; a newer request cancels the one running.
class PictureImportModel : public QObject {
    Q_OBJECT
public:
    enum class State { Empty, Working, Ready, Failed, Cancelled };

    struct Setup {
        const DisplayModel* model = nullptr;
        QString picturesDir{};          // where Save writes (WorkData/Pictures)
        LedColour led = LedColour::Red; // the colour a single-colour sign's preview shows
    };

    explicit PictureImportModel(const Setup& setup, QObject* parent = nullptr);
    ~PictureImportModel() override;

    // Reads the picture file and prepares it with the current options.
    void Open(const QString& path);
    // Prepares the picture again with other options.
    void SetOptions(const PictureOptions& options);
    const PictureOptions& Options() const { return options; }
    // Stops the work in hand; the state becomes Cancelled until the next Open or SetOptions.
    void Cancel();

    State CurrentState() const { return state; }
    int Progress() const { return progress; }
    // Why the picture could not be read, in English ("" unless Failed).
    const QString& Error() const { return error; }
    const QString& SourcePath() const { return sourcePath; }
    QSize SourceSize() const { return sourceSize; }
    // The original, at most ThumbnailSize, for showing beside the result.
    const QImage& Thumbnail() const { return thumbnail; }
    // The prepared picture (null unless Ready).
    const PreparedPicture& Result() const { return result; }
    // The sign's height and what the options can choose from.
    const DisplayModel& Model() const { return *model; }
    // The result in the look of the sign previews, for a client area of that size: the dots
    // in the colours the sign lights, dark rows below a result lower than the sign.
    QImage ResultPreview(QSize client);

    // Writes the result as <picturesDir>/<name>.png, name taken from the original's and
    // made unique so no other picture is replaced; creates the folder. Returns the path,
    // or "" with the reason in errorText.
    QString Save(QString* errorText = nullptr);
    // The file name Save would use for a source path in a folder (without reserving it).
    static QString FreeName(const QString& folder, const QString& sourcePath);

    static constexpr QSize ThumbnailSize{480, 360};

signals:
    // State, progress or result changed.
    void Changed();

private:
    struct Request {
        quint64 generation = 0;
        QString path;
        PictureOptions options;
    };
    struct Outcome;
    void Start();
    void WorkerLoop();
    void Run(const Request& request);
    void Deliver(quint64 generation, Outcome outcome);
    void Report(quint64 generation, int percent);

    const DisplayModel* model;
    QString picturesDir;
    LedColour led;
    PictureOptions options;

    State state = State::Empty;
    int progress = 0;
    QString error;
    QString sourcePath;
    QSize sourceSize;
    QImage thumbnail;
    PreparedPicture result;
    PreviewCanvas canvas;

    // Shared with the worker under the mutex.
    std::mutex mutex;
    std::condition_variable wake;
    std::optional<Request> pending;
    std::atomic<quint64> latest{0};
    bool stopping = false;
    // The worker's own: the picture last read.
    QString readPath;
    QImage readImage;
    QImage readThumbnail;
    QSize readSize;
    QString readError;
    std::thread worker;
};

} // namespace vexa
