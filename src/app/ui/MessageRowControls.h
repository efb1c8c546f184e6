#pragma once

#include "app/RowRules.h"
#include "render/ui/CImageWnd.h"

#include <QHash>
#include <QObject>
#include <QString>

class QComboBox;
class QFont;
class QFontMetrics;
class QGridLayout;
class QMenu;
class QPushButton;
class QToolButton;
class QWidget;

namespace vexa {

class CImageCheckBox;

// The controls of one message row (preview, content and effect buttons, speed and time
// boxes, marquee, blink, send and the hidden right-to-left box), each carrying its
// control ID. It turns their user actions into signals that name the row.
class MessageRowControls : public QObject {
    Q_OBJECT
public:
    // Grid columns of the row controls, and the first control ID of each column.
    enum Column {
        PreviewColumn,
        ContentColumn,
        EffectColumn,
        SpeedColumn,
        TimeColumn,
        MarqueeColumn,
        BlinkColumn,
        SendColumn,
        RightToLeftColumn,
        ColumnCount
    };
    static constexpr int PreviewId = 20060;
    static constexpr int ContentId = 20070;
    static constexpr int EffectId = 20080;
    static constexpr int SpeedId = 20000;
    static constexpr int TimeId = 20010;
    static constexpr int SendId = 20030;
    static constexpr int MarqueeId = 20040;
    static constexpr int RightToLeftId = 20050;
    static constexpr int BlinkId = 20170;

    // Widths of menu texts in one font, shared by the rows so that each text is measured
    // once however many rows show it.
    struct TextWidths {
        QString fontKey;
        QHash<QString, int> widths;
        // Forgets the widths when the font is another than the one they were measured in.
        void UseFont(const QFont& font);
        int Of(const QFontMetrics& metrics, const QString& text);
    };

    // widths (optional, kept by the caller) is shared with the other rows. The menus stay
    // empty until SetMenus gives them the model's items.
    MessageRowControls(int row, QWidget* parent, TextWidths* widths = nullptr);

    void PlaceIn(QGridLayout* grid, int gridRow);
    // Gives the content button the menu of the model (Date only with a clock) and the
    // effect button the model's effect list.
    void SetMenus(bool hasClock, int effectListSet);
    // Gives the items of the two menus the texts of the current language, in item order,
    // and widens the buttons to the longest of them.
    void SetMenuTexts(const QStringList& contentTexts, const QStringList& effectTexts);
    // The captions of the two buttons: the menu text of item 20090 + kind or + effect,
    // empty when the menu has no such item.
    QString ContentCaption(int kind) const;
    QString EffectCaption(int effect) const;
    void SetRowVisible(bool visible);
    // The names of the play toggle for a row number ("Play row %1", "Pause row %1").
    void SetPlayTexts(const QString& play, const QString& pause);
    void ApplyEnabling(const RowEnabling& enabling);
    // The words of the column labels become the controls' tooltips.
    void SetColumnTips(const QStringList& words);
    // The effect button's tooltip: its column word, and the note when the sign runs another
    // effect than the one stored.
    void ShowEffectNote(const QString& note);

    int row;
    CImageWnd* preview;
    QPushButton* contentButton;
    QMenu* contentMenu;
    QPushButton* effectButton;
    QMenu* effectMenu;
    QComboBox* speedBox;
    QComboBox* timeBox;
    CImageCheckBox* marqueeBox;
    CImageCheckBox* blinkBox;
    CImageCheckBox* sendBox;
    CImageCheckBox* rightToLeftBox;
    // The small triangle on the preview that plays the row in its cell; Space on the
    // focused preview toggles it too.
    QToolButton* playButton;

signals:
    void contentItemChosen(int row, int item);
    void effectItemChosen(int row, int item);
    void speedChosen(int row, int index);
    void timeChosen(int row, int index);
    // field: the parameter field of the flag (4 marquee, 6 send, 8 arabic, 9 blink).
    void flagClicked(int row, int field, bool checked);
    void previewDoubleClicked(int row);
    void playToggled(int row, bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NameForAccessibility();
    void ShowPlayState();
    void PlacePlayButton();
    static void FillMenu(QMenu* menu, const QStringList& texts, int firstItem);
    static bool SetItemTexts(QMenu* menu, const QStringList& texts);
    static bool HoldsTexts(const QMenu* menu, const QStringList& texts);
    static QString ItemText(const QMenu* menu, int item);
    void FitToMenu(QPushButton* button);

    TextWidths ownWidths;
    TextWidths* textWidths;
    QString playText = QStringLiteral("Play row %1");
    QString pauseText = QStringLiteral("Pause row %1");
    QString effectTip = QStringLiteral("Effect");
};

} // namespace vexa
