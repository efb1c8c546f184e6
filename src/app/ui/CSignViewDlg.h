#pragma once

#include "app/SignViewModel.h"
#include "ui/CVexaDialog.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>

class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QToolButton;

namespace vexa {

class CVexaApp;
class SignFace;

// The sign view (Tools > Sign view, F6): plays the whole programme of the current sign,
// the rows with their send box ticked in order, looping, at the sign's width and a zoom
// of the operator's choice; with play/pause, a frame back and on, the row and page being
// shown (announced to screen readers as it changes), the sign width (for models whose
// catalogue row has none) and a timeline of the programme. Modeless; the main window
// reloads it whenever the rows, the sign or the model change.
class CSignViewDlg : public CVexaDialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 0;

    CSignViewDlg(CVexaApp& app, QWidget* parent = nullptr);

    // Builds the programme again from the application's rows, keeping the time shown.
    void Reload();
    SignViewModel& Model() { return view; }
    QPushButton* PlayButton() const { return playButton; }
    QLabel* RowLabel() const { return rowLabel; }
    QSpinBox* WidthBox() const { return widthBox; }

signals:
    // The operator changed the sign width (already stored in System.set).
    void signWidthChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildControls();
    void ApplyTexts();
    void OnTick();
    void SetPlaying(bool on);
    void ShowFrame();
    void Schedule();

    CVexaApp& app;
    SignViewModel view;
    QElapsedTimer wall;
    QTimer tick;
    QImage frame;
    QString announcedRow;
    SignFace* face = nullptr;
    QPushButton* playButton = nullptr;
    QToolButton* backButton = nullptr;
    QToolButton* forwardButton = nullptr;
    QSlider* timeline = nullptr;
    QLabel* timeLabel = nullptr;
    QLabel* rowLabel = nullptr;
    QLabel* zoomLabel = nullptr;
    QSpinBox* zoomBox = nullptr;
    QLabel* widthLabel = nullptr;
    QSpinBox* widthBox = nullptr;
    QLabel* notesLabel = nullptr;
};

} // namespace vexa
