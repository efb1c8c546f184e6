#include "app/EditorOptions.h"

#include <QCommandLineParser>

namespace vexa {

namespace {

const QStringList kNoDisplayPlatforms = {QStringLiteral("offscreen"), QStringLiteral("minimal"),
                                         QStringLiteral("vnc"), QStringLiteral("eglfs"),
                                         QStringLiteral("linuxfb")};

} // namespace

EditorOptions EditorOptions::Parse(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return Parse(arguments, [](const char* name) { return qEnvironmentVariable(name); });
}

EditorOptions EditorOptions::Parse(const QStringList& arguments,
                                   const std::function<QString(const char*)>& environment) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vexa Message Editor: compose, preview and send LED sign messages."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the program's version."));
    const QCommandLineOption dataDir(QStringLiteral("data-dir"),
                                     QStringLiteral("Folder that holds WorkData/ and Image/."),
                                     QStringLiteral("DIR"));
    const QCommandLineOption codePage(QStringLiteral("codepage"),
                                      QStringLiteral("Legacy code page of files without a byte-order mark."),
                                      QStringLiteral("N"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save a picture of the main window to FILE once it is shown, then quit."),
        QStringLiteral("FILE"));
    const QCommandLineOption workInDataDir(
        QStringLiteral("work-in-data-dir"),
        QStringLiteral("Work in the data folder, so Debug.Log lands beside WorkData/ "
                       "(the desktop menu starts the editor so)."));
    const QCommandLineOption screenshotEditor(
        QStringLiteral("screenshot-editor"),
        QStringLiteral(
            "With --screenshot: picture the text editor of row 0, the image editor of row 1 or the date "
            "editor of row 3 instead."),
        QStringLiteral("text|image|date"));
    const QCommandLineOption scene(
        QStringLiteral("scene"),
        QStringLiteral("With --screenshot: picture the window in a scene (id-editor, id-modify, "
                       "group-send, after-scan, after-group-send)."),
        QStringLiteral("NAME"));
    const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Serial device to choose at start."),
                                  QStringLiteral("DEV"));
    const QCommandLineOption readOnly(
        QStringLiteral("read-only"),
        QStringLiteral("Open the work folder read-only: show and send, but write none of its files (as a "
                       "second editor on a folder that another one holds does)."));
    parser.addOptions({help, version, dataDir, codePage, port, screenshot, screenshotEditor, scene,
                       workInDataDir, readOnly});

    EditorOptions options;
    if (!parser.parse(arguments)) {
        options.exitCode = 2;
        options.output = QStringLiteral("vexa-editor: %1\n").arg(parser.errorText());
        return options;
    }
    if (parser.isSet(help)) {
        options.exitCode = 0;
        options.output = parser.helpText().replace(QStringLiteral("Usage: ") + arguments.value(0),
                                                   QStringLiteral("Usage: vexa-editor"));
        return options;
    }
    if (parser.isSet(version)) {
        options.exitCode = 0;
        options.output = QStringLiteral("vexa-editor " VEXA_VERSION "\n");
        return options;
    }
    if (!parser.positionalArguments().isEmpty()) {
        options.exitCode = 2;
        options.output = QStringLiteral("vexa-editor: unexpected argument '%1'\n")
                             .arg(parser.positionalArguments().front());
        return options;
    }
    options.dataDir = parser.value(dataDir);
    options.codePage = parser.value(codePage).toInt();
    options.screenshot = parser.value(screenshot);
    options.screenshotEditor = parser.value(screenshotEditor);
    options.scene = parser.value(scene);
    options.port = parser.value(port);
    options.workInDataDir = parser.isSet(workInDataDir);
    options.readOnly = parser.isSet(readOnly);
    if (DisplayMissing(environment)) {
        options.exitCode = 1;
        options.output = NoDisplayText();
    }
    return options;
}

bool EditorOptions::DisplayMissing(const std::function<QString(const char*)>& environment) {
    const QString platform = environment("QT_QPA_PLATFORM").section(u':', 0, 0).trimmed();
    if (kNoDisplayPlatforms.contains(platform))
        return false;
    const bool x11 = !environment("DISPLAY").isEmpty();
    const bool wayland = !environment("WAYLAND_DISPLAY").isEmpty();
    if (platform == QLatin1String("xcb"))
        return !x11;
    if (platform.startsWith(QLatin1String("wayland")))
        return !wayland;
    return !x11 && !wayland;
}

QString EditorOptions::NoDisplayText() {
    return QStringLiteral(
        "vexa-editor: no display to open (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
        "The editor is a desktop program. Without a display, use the command line instead:\n"
        "  vexa --help                     compose, render, pack and send message files\n"
        "  vexa-sim --model P30 --json     a simulated sign line to send to\n"
        "or start the editor on a virtual display: xvfb-run vexa-editor\n");
}

} // namespace vexa
