#include "editors/EditorPlayback.h"

#include "playback/SignGeometry.h"
#include "render/ContentEditorModel.h"
#include "render/MessageImage.h"
#include "render/PlaybackSource.h"
#include "render/ui/CImageWnd.h"
#include "ui/CVexaDialog.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>

namespace vexa {

EditorPlayback::Row EditorPlayback::RowOf(ContentEditorModel& editor) {
    return {&editor.Preview(), &editor.Table(), editor.RowIndex(), &editor.Model(), editor.SignWidth()};
}

EditorPlayback* EditorPlayback::Place(QBoxLayout* layout, CImageWnd* preview, const Row& row) {
    if (!row.model || !row.image || !row.table) {
        layout->addWidget(preview);
        return nullptr;
    }
    // The editor's preview marks the sign's pages as the row previews do.
    const SignGeometry sign = SignGeometry::For(*row.model, row.signWidth, row.image->ledColour);
    row.image->markColumns = sign.columns;
    row.image->markPitch = sign.pagePitch;
    auto* line = new QHBoxLayout;
    line->addWidget(preview, 1);
    auto* button = new QPushButton(preview->parentWidget());
    line->addWidget(button, 0, Qt::AlignVCenter);
    layout->addLayout(line);
    return new EditorPlayback(preview, button, row);
}

EditorPlayback::EditorPlayback(CImageWnd* shown, QPushButton* playButton, const Row& row)
    : QObject(playButton), preview(shown), button(playButton), played(row) {
    button->setCheckable(true);
    button->setAutoDefault(false); // Return belongs to OK
    button->setFocusPolicy(Qt::StrongFocus);
    ShowState();
    connect(button, &QPushButton::toggled, this, &EditorPlayback::Toggle);
    connect(preview, &CImageWnd::refreshed, this, [this] {
        if (button->isChecked())
            Replay();
    });
}

void EditorPlayback::ShowState() {
    const bool on = button->isChecked();
    const QString text =
        CVexaDialog::Say(button, on ? LanguageTexts::Text::PauseButton : LanguageTexts::Text::PlayButton);
    button->setText(text);
    button->setAccessibleName(text);
    button->setIcon(button->style()->standardIcon(on ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

void EditorPlayback::Toggle(bool on) {
    ShowState();
    if (on)
        Replay();
    else
        preview->Play(nullptr);
}

void EditorPlayback::Replay() {
    const SignGeometry sign = SignGeometry::For(*played.model, played.signWidth, played.image->ledColour);
    preview->Play(std::make_shared<const PlaybackProgramme>(
        PlaybackSource::RowProgramme(*played.image, *played.table, played.row, *played.model, sign)));
}

} // namespace vexa
