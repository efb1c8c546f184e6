#pragma once

#include <QList>
#include <QString>

namespace vexa {

class CIdList;
class SignLink;
class SystemSettings;

// What the group send dialog shows and hands to the link engine, without widgets.
class GroupSendModel {
public:
    struct Child {
        int id = 0;
        QString text; // "%d.%s" of ID and name
        bool ticked = true;
    };

    // The signs of the tree. Settings that carry LEDID_Num and LEDID_Str (four characters
    // per ID) give the children in that order, all ticked, named by LEDID<n>. Without those
    // keys (nothing writes them) the signs of group 0 in ID order, ticked as their check
    // masks say, so the tree is never empty while the list has signs.
    static QList<Child> Children(SystemSettings& settings, const CIdList& list);

    // The ID before the first full stop of a child's text; 0 when it has none.
    static int IdOfText(const QString& text);

    // Hands the IDs and the operation to the engine (at most its MaxGroupIds).
    static void HandToLink(SignLink& link, const QList<int>& ids, int operation);
};

} // namespace vexa
