#pragma once

#include <QList>
#include <QString>

namespace vexa {

class CIdList;

// The signs of a multi-sign (485) send, sent one after the other in ascending ID order.
class SendQueue {
public:
    // Takes every sign of a group that is ticked; false when there is none.
    bool Start(const CIdList& list);
    // Forgets the queue: what a single-sign send leaves behind.
    void Clear();

    int Count() const { return static_cast<int>(ids.size()); }
    int Index() const { return index; }
    int CurrentId() const { return index >= 0 && index < Count() ? ids[index] : 0; }
    // Moves on to the next sign; true while one is left.
    bool Advance();
    bool Finished() const { return index >= Count(); }
    // Ends the chain after the sign being sent.
    void StopAfterCurrent() { index = Count(); }

    // The wait dialog's line "Setting ID：3，Total:2，Last:2" in the language's words.
    QString WaitText(int language) const;

private:
    QList<int> ids;
    int index = 1;
};

} // namespace vexa
