#include "sim/SignSimulator.h"
#include "sim/SimOptions.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    if (arguments.contains(QStringLiteral("--version"))) {
        std::fputs("vexa-sim " VEXA_VERSION "\n", stdout);
        return 0;
    }
    QString error;
    const std::optional<vexa::SimOptions> options = vexa::SimOptions::Parse(arguments, error);
    if (!options) {
        std::fprintf(stderr, "vexa-sim: %s\n%s", qPrintable(error), qPrintable(vexa::SimOptions::Usage()));
        return 2;
    }
    if (options->help) {
        std::fputs(qPrintable(vexa::SimOptions::Usage()), stdout);
        return 0;
    }
    vexa::SignSimulator simulator(*options, stdout);
    return simulator.Run();
}
