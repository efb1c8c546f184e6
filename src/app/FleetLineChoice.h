#pragma once

#include "store/FleetFile.h"
#include "store/LanguageTexts.h"

#include <QList>
#include <QString>

namespace vexa {

// What the "Open fleet…" dialog offers: the lines of a fleet file, each with what keeps it
// from being opened in the editor (its folder is missing, its model unknown). A line whose
// port is wrong or that is disabled still opens: its messages can be edited all the same.
class FleetLineChoice {
public:
    struct Row {
        FleetLine line;
        LanguageTexts::Text problem = LanguageTexts::Text::Count; // Count: none, it opens
        bool CanOpen() const { return problem == LanguageTexts::Text::Count; }
    };

    // False when the file cannot be read (Error() says why).
    bool Load(const QString& path);
    const QString& Error() const { return error; }
    const QList<Row>& Rows() const { return rows; }
    // The first row that opens; -1 when none does.
    int FirstOpenable() const;

private:
    QString error;
    QList<Row> rows;
};

} // namespace vexa
