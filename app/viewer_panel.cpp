#include "viewer_panel.h"

#include <algorithm>

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "image_pane.h"
#include "main_ids.h"
#include "main_texts.h"
#include "move_rule.h"
#include "placement.h"
#include "run_state.h"

namespace {

enum class Kind { Pane, Path, Label, Button };

// How a control follows the tall layout: its move and growth in units of
// h = dw / 2 (x), dh (y).
struct ViewerControl {
    int id;
    Kind kind;
    const char* text;
    QRect rect;  // client coordinates of the template
    int moveX;   // 0, 1 (h) or 2 (dw)
    int moveY;   // 0 or 1 (dh)
    int growW;   // 0 or 1 (h)
    int growH;   // 0 or 1 (dh)
};

constexpr int kRowB = 604;

const ViewerControl kControls[] = {
    {MainId::LeftSource, Kind::Label, kTextSourcePrimary, QRect(8, 346, 320, 18), 0, 0, 0, 0},
    {MainId::RightSource, Kind::Label, kTextSourcePrimary, QRect(336, 346, 320, 18), 1, 0, 0, 0},
    {MainId::LeftPane, Kind::Pane, "", QRect(8, 366, 320, 200), 0, 0, 1, 1},
    {MainId::RightPane, Kind::Pane, "", QRect(336, 366, 320, 200), 1, 0, 1, 1},
    {MainId::PairInfo, Kind::Label, "", QRect(664, 366, 128, 226), 2, 1, 0, 0},
    {MainId::LeftTitle, Kind::Path, "", QRect(8, 572, 320, 26), 0, 1, 1, 0},
    {MainId::RightTitle, Kind::Path, "", QRect(336, 572, 320, 26), 1, 1, 1, 0},
    {MainId::LeftDimensions, Kind::Label, "", QRect(8, kRowB, 100, 22), 0, 1, 0, 0},
    {MainId::LeftSize, Kind::Label, "", QRect(108, kRowB, 102, 22), 0, 1, 0, 0},
    {MainId::LeftDelete, Kind::Button, "Delete", QRect(212, 602, 56, 28), 0, 1, 0, 0},
    {MainId::LeftMove, Kind::Button, "Move", QRect(272, 602, 56, 28), 0, 1, 0, 0},
    {MainId::RightDimensions, Kind::Label, "", QRect(336, kRowB, 100, 22), 1, 1, 0, 0},
    {MainId::RightSize, Kind::Label, "", QRect(436, kRowB, 102, 22), 1, 1, 0, 0},
    {MainId::RightDelete, Kind::Button, "Delete", QRect(540, 602, 56, 28), 1, 1, 0, 0},
    {MainId::RightMove, Kind::Button, "Move", QRect(600, 602, 56, 28), 1, 1, 0, 0},
    {MainId::Back, Kind::Button, "Back", QRect(664, 602, 62, 28), 2, 1, 0, 0},
    {MainId::Next, Kind::Button, "Next", QRect(730, 602, 62, 28), 2, 1, 0, 0},
};

QWidget* makeControl(const ViewerControl& c, QWidget* parent) {
    const QRect r = c.rect.translated(0, -ViewerPanel::kTop);
    switch (c.kind) {
        case Kind::Pane: {
            return PlaceControl<ImagePane>(parent, c.id, r);
        }
        case Kind::Path: {
            auto* edit = PlaceControl<QLineEdit>(parent, c.id, r);
            edit->setReadOnly(true);
            edit->setMaxLength(240);
            return edit;
        }
        case Kind::Label:
            return PlaceControl<QLabel>(parent, c.id, r, QString::fromLatin1(c.text));
        case Kind::Button:
            return PlaceControl<QPushButton>(parent, c.id, r, QString::fromLatin1(c.text));
    }
    return nullptr;
}

}  // namespace

ViewerPanel::ViewerPanel(const RunState& run, QWidget* parent) : QWidget(parent), m_run(run) {
    for (const ViewerControl& c : kControls) {
        makeControl(c, this);
        m_template.insert(c.id, c.rect);
    }
    m_left = FindControl<ImagePane>(this, MainId::LeftPane);
    m_right = FindControl<ImagePane>(this, MainId::RightPane);
    m_leftSource = FindControl<QLabel>(this, MainId::LeftSource);
    m_rightSource = FindControl<QLabel>(this, MainId::RightSource);
    m_pairInfo = FindControl<QLabel>(this, MainId::PairInfo);
    m_pairInfo->setWordWrap(true);
    m_pairInfo->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    // Sizes line up on the right, clear of the dimensions beside them.
    for (int id : {MainId::LeftSize, MainId::RightSize}) {
        auto* label = FindControl<QLabel>(this, id);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setIndent(4);
    }
    // Shown only by the Move-button rule.
    button(MainId::LeftMove)->hide();
    button(MainId::RightMove)->hide();
    showLeftSource();
    connect(&run, &RunState::compareModeChanged, this, &ViewerPanel::showLeftSource);
    connect(&run, &RunState::movesChanged, this, &ViewerPanel::showMoveRule);
}

void ViewerPanel::layoutTall(int dw, int dh, int width, int height) {
    const int h = dw / 2;
    setGeometry(0, kTop, width, height);
    for (const ViewerControl& c : kControls) {
        QRect r = c.rect.translated(0, -kTop);
        r.translate((c.moveX == 2 ? dw : c.moveX * h), c.moveY * dh);
        r.setSize(r.size() + QSize(c.growW * h, c.growH * dh));
        findChild<QWidget*>(ControlName(c.id))->setGeometry(r);
    }
    fitInfoRow(0);
    fitInfoRow(1);
}

// The dimensions and the size share the row up to the side's Delete button.
// Large pictures with large files ("65535 x 65535 TIFF", "1234,567,890 bytes")
// need more than the template's split, so the split follows the texts and, as
// a last resort, the font steps down a little rather than cutting a digit off.
void ViewerPanel::fitInfoRow(int side) {
    auto* dims =
        FindControl<QLabel>(this, side == 0 ? MainId::LeftDimensions : MainId::RightDimensions);
    auto* size = FindControl<QLabel>(this, side == 0 ? MainId::LeftSize : MainId::RightSize);
    const int left = dims->x();
    const int span = button(side == 0 ? MainId::LeftDelete : MainId::RightDelete)->x() - 2 - left;
    const int templateDims =
        m_template.value(side == 0 ? MainId::LeftDimensions : MainId::RightDimensions).width();

    QFont font = this->font();
    const qreal smallest = font.pointSizeF() * 0.75;
    int needDims = 0;
    int needSize = 0;
    for (;;) {
        const QFontMetrics fm(font);
        needDims = fm.horizontalAdvance(dims->text()) + 2;
        needSize =
            size->text().isEmpty() ? 0 : fm.horizontalAdvance(size->text()) + size->indent() + 2;
        if (needDims + needSize <= span || font.pointSizeF() <= 0 ||
            font.pointSizeF() - 0.5 < smallest) {
            break;
        }
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    dims->setFont(font);
    size->setFont(font);
    dims->setToolTip(dims->text());
    size->setToolTip(size->text().trimmed());

    int dimsWidth = std::max(needDims, std::min(templateDims, span - needSize));
    if (needDims + needSize > span) {
        dimsWidth = span * needDims / std::max(1, needDims + needSize);
    }
    dims->setGeometry(left, dims->y(), dimsWidth, dims->height());
    size->setGeometry(left + dimsWidth, size->y(), span - dimsWidth, size->height());
}

void ViewerPanel::setSourceLabelsVisible(bool visible) {
    m_leftSource->setVisible(visible);
    m_rightSource->setVisible(visible);
}

void ViewerPanel::showLeftSource() {
    static const char* const kSources[] = {kTextSourcePrimary, kTextSourceSecondary,
                                           kTextSourceSingle};
    m_leftSource->setText(kSources[static_cast<int>(m_run.compareMode())]);
}

void ViewerPanel::showMoveRule() {
    button(MainId::LeftDelete)->setText(DeleteButtonCaption(m_run.moves().leftMoves));
    button(MainId::RightDelete)->setText(DeleteButtonCaption(m_run.moves().rightMoves));
    applyMoveButtonRule();
}

void ViewerPanel::applyMoveButtonRule() {
    const TwinlySettings& s = m_run.settings();
    const bool show = s.m_bShowMove != 0;
    button(MainId::LeftMove)
        ->setVisible(
            MoveButtonShown(show, MoveFolderExists(s.m_strMoveFolder), m_run.moves().leftMoves));
    button(MainId::RightMove)
        ->setVisible(
            MoveButtonShown(show, MoveFolderExists(s.m_strMoveFolder2), m_run.moves().rightMoves));
}

void ViewerPanel::setPairInfo(const QString& text) {
    m_pairInfo->setText(text);
}

void ViewerPanel::setSideTexts(int side, const QString& title, const QString& dimensions) {
    FindControl<QLineEdit>(this, side == 0 ? MainId::LeftTitle : MainId::RightTitle)
        ->setText(title);
    FindControl<QLabel>(this, side == 0 ? MainId::LeftDimensions : MainId::RightDimensions)
        ->setText(dimensions);
    fitInfoRow(side);
}

void ViewerPanel::setSizeText(int side, const QString& text) {
    FindControl<QLabel>(this, side == 0 ? MainId::LeftSize : MainId::RightSize)->setText(text);
    fitInfoRow(side);
}

QPushButton* ViewerPanel::button(int id) const {
    return FindControl<QPushButton>(this, id);
}
