#pragma once

#include "link/FrameStep.h"
#include "link/SerialSettings.h"

#include <QList>
#include <QString>
#include <vector>

namespace vexa {

class LanguageTexts;

// What one operation puts on the line, sign by sign, and how long it takes. The link
// engine builds it from the same frame builders its workers execute, so it holds exactly
// the bytes a real run writes; nothing is opened to build it.
//
// Timing follows the engine: a frame needs bytes × bits-per-byte / baud on the line
// (LinePacer), the engine sees it gone at its next check of the output count and then
// holds its own pauses and the frame's (WritePacing). A part ends with the wait after its
// last frame (the port closing, a reply awaited).
class TransferPlan {
public:
    struct Part {
        int id = 0; // the sign these steps address (0: none, e.g. a scan)
        FrameSequence steps;
        int afterMs = 0;    // the wait after the last step
        QString afterLabel; // what that wait is ("the port closes")
    };

    // Time of one step within the plan.
    struct StepTime {
        qint64 offset = 0;  // bytes before it in the stream
        double startMs = 0; // when its write starts, from the start of the operation
        double lineMs = 0;  // time its bytes need on the line
        int waitMs = 0;     // the engine's wait until they have left
        int pauseMs = 0;    // the pause after it (the engine's and the protocol's)
    };

    struct Totals {
        qint64 bytes = 0;
        int frames = 0;
        double lineMs = 0;  // bytes × bits-per-byte / baud
        qint64 waitMs = 0;  // the engine's waits for the frames to leave
        qint64 pauseMs = 0; // every pause after a frame, pause steps and the waits ending parts
        double predictedMs = 0;
    };

    QString model;
    QString family;      // name of the protocol family
    SerialSettings line; // the model's port settings
    int rows = 16;       // models below 16 rows pause after every frame
    int pollMs = 100;    // the engine's check of the output count
    QList<Part> parts;

    // Times of every step, part after part, in order.
    std::vector<StepTime> Times() const;
    Totals Sum() const;
    // The whole byte stream, in the order it is written.
    QByteArray Bytes() const;

    // Appends another plan's parts (the next sign of a chain).
    void Append(const TransferPlan& other);

    // "about 42 s", "about 3 min": the predicted duration as the operator reads it, in the
    // language of texts (English without).
    static QString AboutText(double ms, const LanguageTexts* texts = nullptr);
};

} // namespace vexa
