#pragma once

#include "link/FrameSource.h"
#include "link/families/SendInputsAccess.h"

// Hand-made frames standing in for the protocol families: every frame carries the
// target ID so tests can tell which sign a frame was meant for.
class FakeFrameSource : public vexa::FrameSource {
public:
    // Frames of a message send: frameCount frames of frameBytes bytes each.
    int frameCount = 3;
    int frameBytes = 8;
    int pauseMs = 0;
    // What the engine handed over for the last message send.
    mutable vexa::SendInputs lastInputs;

    vexa::FrameSequence MessageSequence(const vexa::SendInputs& inputs) const override {
        lastInputs = inputs;
        vexa::FrameSequence sequence;
        for (int i = 0; i < frameCount; ++i) {
            QByteArray frame(frameBytes, static_cast<char>(0xA0 + i));
            frame[0] = static_cast<char>(inputs.currentId);
            sequence.push_back({frame, pauseMs, (i + 1) * 100 / (frameCount + 1), {}});
        }
        return sequence;
    }
    vexa::FrameStep PowerStep(int id, bool on) const override {
        return {QByteArray::fromHex(on ? "7E00CF00D07E" : "7E00CF01D17E")
                    .replace(1, 1, QByteArray(1, static_cast<char>(id))),
                0,
                -1,
                {}};
    }
    vexa::FrameSequence ScanSequence() const override {
        vexa::FrameSequence sequence;
        for (int id = 1; id <= 254; ++id) {
            QByteArray frame = QByteArray::fromHex("7E00F20000007E");
            frame[1] = static_cast<char>(id);
            sequence.push_back({frame, 1, id * 100 / 255, {}});
        }
        return sequence;
    }
    vexa::FrameStep ReadIdStep(vexa::LinkFamily) const override {
        return {QByteArray::fromHex("48656C966F"), 0, -1, {}};
    }
    vexa::FrameStep SetIdStep(vexa::LinkFamily, int a, int b) const override {
        QByteArray f = QByteArray::fromHex("480000"
                                           "9A6F");
        f[1] = static_cast<char>(a);
        f[2] = static_cast<char>(b);
        return {f, 0, -1, {}};
    }
    vexa::FrameStep ClockStep(vexa::LinkFamily, const QDateTime&) const override {
        return {QByteArray::fromHex("AAAAAAAA02"), 0, -1, {}};
    }
};
