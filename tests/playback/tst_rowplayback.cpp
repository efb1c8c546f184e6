// Every effect, flag and timing rule of the playback, frame by frame, on a hand-made
// message of 8 x 3 dots played on a sign 4 columns wide. Column c of the message shows
// the bits of c from the top (column 0 dark, column 7 all lit), so every window of it
// can be told apart at a glance. Frames are written "row0|row1|row2", '#' lit.
#include "playback/PlaybackProgramme.h"
#include "playback/PlaybackTiming.h"

#include <QTest>

using namespace vexa;

namespace {

using Played = QList<QPair<QString, int>>; // frame text, duration

constexpr QRgb kLit = 0xFFFF0000;

QImage Message(const QStringList& lines) {
    QImage image(int(lines[0].size()), int(lines.size()), QImage::Format_ARGB32);
    image.fill(SignColours::OpaqueBlack);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (lines[y][x] == u'#')
                image.setPixel(x, y, kLit);
    return image;
}

const QStringList kFrame0 = {"....####", "..##..##", ".#.#.#.#"};
const QStringList kFrame1 = {"########", "..##..##", ".#.#.#.#"};

SignGeometry TinySign() {
    SignGeometry sign;
    sign.columns = 4;
    sign.rows = 3;
    sign.pagePitch = 4;
    sign.kind = PackKind::OneBit;
    return sign;
}

QString Text(const QImage& frame) {
    QStringList lines;
    for (int y = 0; y < frame.height(); ++y) {
        QString line;
        for (int x = 0; x < frame.width(); ++x)
            line += frame.pixel(x, y) == SignColours::OpaqueBlack ? u'.' : u'#';
        lines << line;
    }
    return lines.join(u'|');
}

struct Row {
    SignEffect effect = SignEffect::Fix;
    int speed = 7; // 20 ms a step
    int time = 0;
    bool marquee = false;
    bool blink = false;
    bool secondFrame = false;
};

PlaybackInput InputOf(const Row& row) {
    PlaybackInput input;
    input.frames[0] = Message(kFrame0);
    if (row.secondFrame)
        input.frames[1] = Message(kFrame1);
    // List A holds every effect but Blink, list B holds Blink.
    const int listA = int(row.effect);
    input.settings.effectListSet = row.effect == SignEffect::Blink ? 1 : 0;
    input.settings.effect = row.effect == SignEffect::Blink ? 6 : listA;
    input.settings.speed = row.speed;
    input.settings.time = row.time;
    input.settings.marquee = row.marquee;
    input.settings.blink = row.blink;
    return input;
}

Played Play(const Row& row) {
    const PlaybackProgramme programme({InputOf(row)}, TinySign());
    Played played;
    for (int i = 0; i < programme.StepCount(); ++i)
        played.append({Text(programme.Frame(i)), programme.Steps()[size_t(i)].durationMs});
    return played;
}

Played Each(const QStringList& frames, int ms) {
    Played played;
    for (const QString& frame : frames)
        played.append({frame, ms});
    return played;
}

// The message moving left a column per step, from entering at the right edge to leaving.
const QStringList kLeft = {
    "....|....|....", "....|....|...#", "....|...#|..#.", "....|..##|.#.#",
    "...#|.##.|#.#.", "..##|##..|.#.#", ".###|#..#|#.#.", "####|..##|.#.#",
    "###.|.##.|#.#.", "##..|##..|.#..", "#...|#...|#...",
};
const QString kPage0 = QStringLiteral("....|..##|.#.#");
const QString kPage1 = QStringLiteral("####|..##|.#.#");
const QString kDark = QStringLiteral("....|....|....");

} // namespace

class TestRowPlayback : public QObject {
    Q_OBJECT
private slots:
    void scrollsLeftAndRight();
    void scrollStopsOnEveryPageWithATime();
    void slidesUpAndDown();
    void holdsAnimatesAndBlinks();
    void snowsAndOpensFromTheMiddle();
    void blinkFlagBlinksOnlyHeldPages();
    void marqueeMovesAroundTheBorder();
    void timingTables();
    void effectListsAndWhatSignsReceive();
    void programmeLoopsOverItsRows();
};

void TestRowPlayback::scrollsLeftAndRight() {
    QCOMPARE(Play({SignEffect::Left}), Each(kLeft, 20));
    QStringList right = kLeft;
    std::reverse(right.begin(), right.end());
    Row slow{SignEffect::Right};
    slow.speed = 0;
    QCOMPARE(Play(slow), Each(right, 160));
}

void TestRowPlayback::scrollStopsOnEveryPageWithATime() {
    Row row{SignEffect::Left};
    row.time = 2;
    Played expected = Each(kLeft, 20);
    expected[3].second = 2000; // page 0 fills the sign
    expected[7].second = 2000; // page 1
    QCOMPARE(Play(row), expected);
}

void TestRowPlayback::slidesUpAndDown() {
    const Played up = {{kDark, 20},
                       {"....|....|..##", 20},
                       {kPage0, 1000},
                       {"..##|.#.#|....", 20},
                       {".#.#|....|....", 20},
                       {"....|....|####", 20},
                       {"....|####|..##", 20},
                       {kPage1, 1000},
                       {"..##|.#.#|....", 20},
                       {".#.#|....|....", 20}};
    QCOMPARE(Play({SignEffect::Up}), up);
    Row down{SignEffect::Down};
    down.time = 3;
    const Played expected = {{".#.#|....|....", 20},
                             {"..##|.#.#|....", 20},
                             {kPage0, 3000},
                             {"....|....|..##", 20},
                             {kDark, 20},
                             {".#.#|....|....", 20},
                             {"..##|.#.#|....", 20},
                             {kPage1, 3000},
                             {"....|####|..##", 20},
                             {"....|....|####", 20}};
    QCOMPARE(Play(down), expected);
}

void TestRowPlayback::holdsAnimatesAndBlinks() {
    Row fix{SignEffect::Fix};
    fix.time = 5;
    QCOMPARE(Play(fix), Played({{kPage0, 5000}, {kPage1, 5000}}));

    // Frames take turns every five steps (100 ms) through the one-second hold.
    Row animation{SignEffect::Animation};
    animation.secondFrame = true;
    const Played animated = Play(animation);
    QCOMPARE(animated.size(), 20);
    QCOMPARE(animated.mid(0, 3), Played({{kPage0, 100}, {"####|..##|.#.#", 100}, {kPage0, 100}}));
    QCOMPARE(animated[10], qMakePair(kPage1, 100));
    // Without a frame 1 an animation is held like Fix.
    QCOMPARE(Play({SignEffect::Animation}), Played({{kPage0, 1000}, {kPage1, 1000}}));

    QCOMPARE(Play({SignEffect::Blink}), Played({{kPage0, 250},
                                                {kDark, 250},
                                                {kPage0, 250},
                                                {kDark, 250},
                                                {kPage1, 250},
                                                {kDark, 250},
                                                {kPage1, 250},
                                                {kDark, 250}}));
}

void TestRowPlayback::snowsAndOpensFromTheMiddle() {
    const Played snow = {
        {"....|....|...#", 20}, {"....|....|...#", 20}, {"....|..#.|...#", 20}, {"....|..#.|...#", 20},
        {"....|..##|...#", 20}, {"....|..##|...#", 20}, {kPage0, 20},           {kPage0, 1000},
        {"#...|....|....", 20}, {"#...|....|...#", 20}, {"#...|..#.|...#", 20}, {"#...|..##|...#", 20},
        {"#..#|..##|...#", 20}, {"##.#|..##|...#", 20}, {"####|..##|...#", 20}, {kPage1, 1000}};
    QCOMPARE(Play({SignEffect::Snow}), snow);
    QCOMPARE(Play({SignEffect::Middle}),
             Played({{"....|..#.|.#..", 20}, {kPage0, 1000}, {".##.|..#.|.#..", 20}, {kPage1, 1000}}));
}

void TestRowPlayback::blinkFlagBlinksOnlyHeldPages() {
    Row row{SignEffect::Left};
    row.time = 1;
    row.blink = true;
    Played expected = Each(kLeft, 20);
    const Played blinking0 = {{kPage0, 250}, {kDark, 250}, {kPage0, 250}, {kDark, 250}};
    const Played blinking1 = {{kPage1, 250}, {kDark, 250}, {kPage1, 250}, {kDark, 250}};
    expected = expected.mid(0, 3) + blinking0 + expected.mid(4, 3) + blinking1 + expected.mid(8);
    QCOMPARE(Play(row), expected);
}

void TestRowPlayback::marqueeMovesAroundTheBorder() {
    // Clockwise from the top left: two dots lit, two dark, one dot on per step. The ring
    // covers the outer dots; the message shows inside it.
    Row row{SignEffect::Left};
    row.marquee = true;
    const Played scrolled = Play(row);
    QCOMPARE(scrolled.mid(0, 3),
             Played({{"##..|#..#|#..#", 20}, {".##.|#...|..##", 20}, {"..##|....|.##.", 20}}));
    QCOMPARE(scrolled[4], qMakePair(QStringLiteral("##..|####|#..#"), 20)); // phase 4 looks as phase 0

    Row held{SignEffect::Fix};
    held.marquee = true;
    const Played fix = Play(held);
    QCOMPARE(fix.size(), 100); // each one-second hold moves the marquee every 20 ms
    QCOMPARE(fix[0], qMakePair(QStringLiteral("##..|#.##|#..#"), 20));
    QCOMPARE(fix[50], qMakePair(QStringLiteral("..##|..#.|.##."), 20)); // page 1, phase 50
}

void TestRowPlayback::timingTables() {
    QCOMPARE(PlaybackTiming::StepMs(0), 160);
    QCOMPARE(PlaybackTiming::StepMs(7), 20);
    QCOMPARE(PlaybackTiming::StepMs(99), 20);
    QCOMPARE(PlaybackTiming::HoldMs(0), 0);
    QCOMPARE(PlaybackTiming::NeededHold(0), 1000);
    QCOMPARE(PlaybackTiming::NeededHold(4), 4000);
    for (int speed = 0; speed < PlaybackTiming::SpeedCount; ++speed) {
        QCOMPARE(PlaybackTiming::StepMs(speed) % 10, 0); // GIF delays stay exact
        if (speed > 0)
            QVERIFY(PlaybackTiming::StepMs(speed) < PlaybackTiming::StepMs(speed - 1));
    }
}

void TestRowPlayback::effectListsAndWhatSignsReceive() {
    QCOMPARE(RowSettings::EffectOf(0, 7), SignEffect::Middle);
    QCOMPARE(RowSettings::EffectOf(1, 0), SignEffect::Fix);
    QCOMPARE(RowSettings::EffectOf(1, 1), SignEffect::Left);
    QCOMPARE(RowSettings::EffectOf(1, 6), SignEffect::Blink);
    QCOMPARE(RowSettings::EffectOf(2, 5), SignEffect::Animation);
    QCOMPARE(RowSettings::EffectOf(2, 7), SignEffect::Fix); // list C has no eighth effect
    QCOMPARE(RowSettings::EffectOf(1, -1), SignEffect::Fix);

    const RowSettings row{0, 3, 5, 4, true, true};
    const auto received = [&](const char* model) { return row.AsReceivedBy(*ModelCatalogue::Find(model)); };
    QCOMPARE(received("P01"), (RowSettings{0, 3, 5, 0, true, true}));   // attribute byte: no time
    QCOMPARE(received("P04"), (RowSettings{0, 3, 5, 0, false, false})); // trailer: effect, speed
    QCOMPARE(received("P30"), (RowSettings{1, 3, 5, 4, true, false}));  // header: no blink
    QCOMPARE(row.NotReceivedBy(*ModelCatalogue::Find("P04")), QStringList({"time", "marquee", "blink"}));
    QCOMPARE(RowSettings{}.NotReceivedBy(*ModelCatalogue::Find("P04")), QStringList());
}

void TestRowPlayback::programmeLoopsOverItsRows() {
    PlaybackInput first = InputOf({SignEffect::Fix});
    first.row = 2;
    PlaybackInput empty; // a row without dots is left out
    empty.row = 4;
    PlaybackInput second = InputOf({SignEffect::Blink});
    second.row = 7;
    const PlaybackProgramme programme({first, empty, second}, TinySign());
    QCOMPARE(programme.StepCount(), 2 + 8);
    QCOMPARE(programme.DurationMs(), qint64(2000 + 2000));
    QCOMPARE(programme.Steps()[2].row, 7);
    QCOMPARE(programme.Steps()[2].startMs, 2000);
    QCOMPARE(programme.StepAt(0), 0);
    QCOMPARE(programme.StepAt(1999), 1);
    QCOMPARE(programme.StepAt(2260), 3);
    QCOMPARE(programme.StepAt(4000), 0); // looping
    QCOMPARE(programme.PageCount(5), 2);
    QVERIFY(PlaybackProgramme({empty}, TinySign()).IsEmpty());
    QCOMPARE(PlaybackProgramme().Frame(0).pixel(0, 0), SignColours::OpaqueBlack); // nothing to play: dark
}

QTEST_GUILESS_MAIN(TestRowPlayback)
#include "tst_rowplayback.moc"
