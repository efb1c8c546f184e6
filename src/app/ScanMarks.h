#pragma once

#include <QList>
#include <QString>

namespace vexa {

class CIdList;
class LanguageTexts;

// What the last scan found, kept apart from the tree's check boxes (which always show the
// signs a send addresses): a mark per sign (answered / no answer) until the next scan,
// and a one-line summary for the operator.
class ScanMarks {
public:
    enum class Mark { None, Answered, NoAnswer };

    // Takes the answers of a finished scan from the sign list's scanState marks.
    void Take(const CIdList& list);
    void Clear();
    bool HasScan() const { return scanned; }
    // None before any scan; Answered or NoAnswer for every sign after one.
    Mark For(int id) const;
    const QList<int>& Answered() const { return answered; }
    // "2 signs answered: 3, 7", "1 sign answered: 3", "No sign answered." (in the language
    // of texts, English without); empty before a scan.
    QString Summary(const LanguageTexts* texts = nullptr) const;
    // The accessible / tooltip text of a mark.
    static QString MarkText(Mark mark, const LanguageTexts* texts = nullptr);

private:
    bool scanned = false;
    QList<int> answered;
};

} // namespace vexa
