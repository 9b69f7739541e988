#include "pair_viewer.h"

#include <QItemSelectionModel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScreen>

#include "app_paths.h"
#include "auto_delete_runner.h"
#include "command_router.h"
#include "desktop.h"
#include "format_file_size.h"
#include "image_pane.h"
#include "image_view.h"
#include "main_ids.h"
#include "main_menus.h"
#include "main_texts.h"
#include "match_list_model.h"
#include "move_rule.h"
#include "pair_removal.h"
#include "pane_image_loader.h"
#include "run_state.h"
#include "view_page.h"
#include "viewer_panel.h"
#include "wait_cursor.h"

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

bool isDeleted(const std::string& entry) {
    return entry == kDeletedEntry;
}

struct PaneMenuIds {
    int menu, fullScreen, open, properties, remove, move;
};
constexpr PaneMenuIds kPaneMenus[2] = {
    {MainId::LeftPaneMenu, MainId::MenuLeftFullScreen, MainId::MenuLeftOpenImage,
     MainId::MenuLeftProperties, MainId::MenuLeftDelete, MainId::MenuLeftMove},
    {MainId::RightPaneMenu, MainId::MenuRightFullScreen, MainId::MenuRightOpenImage,
     MainId::MenuRightProperties, MainId::MenuRightDelete, MainId::MenuRightMove}};

}  // namespace

PairViewer::PairViewer(RunState& run, ViewerPanel& panel, ViewPage& page, CommandRouter& commands,
                       MainMenus& menus, Prompter& prompter, Desktop& desktop, FileOps& fileOps,
                       QWidget& window)
    : m_run(run),
      m_panel(panel),
      m_page(page),
      m_menus(menus),
      m_desktop(desktop),
      m_window(window),
      m_model(std::make_unique<MatchListModel>(run.matches())),
      m_removal(std::make_unique<PairRemoval>(run, *this, commands, prompter, desktop, fileOps)),
      m_autoDelete(std::make_unique<AutoDeleteRunner>(run, *this, panel, commands, window)),
      m_logView(page.logView()) {
    connect(&run, &RunState::matchesAboutToReset, m_model.get(), &MatchListModel::beginReplace);
    connect(&run, &RunState::matchesReset, m_model.get(), &MatchListModel::endReplace);
    connect(&run, &RunState::matchLinesChanged, m_model.get(), &MatchListModel::linesChanged);
    m_logView->setModel(m_model.get());
    m_logView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_logView->setTextElideMode(Qt::ElideNone);
    m_model->setItemSize(std::max(100, m_logView->viewport()->width()),
                         m_logView->fontMetrics().height() + 2);
    connect(m_logView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PairViewer::onLogSelectionChanged);

    for (int s : {kLeftSide, kRightSide}) {
        connect(pane(s), &QWidget::customContextMenuRequested, this,
                [this, s](const QPoint& at) { showPaneMenu(s, pane(s)->mapToGlobal(at)); });
    }

    commands.setHandler(MainId::Next, [this] { OnNext(); });
    commands.setHandler(MainId::Back, [this] { OnBack(); });
    commands.setHandler(MainId::First, [this] { OnFirst(); });
    commands.setHandler(MainId::Last, [this] { OnLast(); });
    for (int s : {kLeftSide, kRightSide}) {
        const PaneMenuIds& ids = kPaneMenus[s];
        commands.setHandler(ids.fullScreen, [this, s] { OnFullScreen(s); });
        commands.setHandler(ids.open, [this, s] { OpenImage(s); });
        commands.setHandler(ids.properties, [this, s] { ShowProperties(s); });
    }
}

PairViewer::~PairViewer() = default;

int PairViewer::pairCount() const {
    return m_run.matches().pairCount();
}

ImagePane* PairViewer::pane(int side) const {
    return m_panel.pane(clampSide(side));
}

void PairViewer::replaceMatches(MatchList& list) {
    m_run.replaceMatches(list);
    m_selected = -1;
}

bool PairViewer::sortMatches(bool descending) {
    return m_run.sortMatches(descending);
}

void PairViewer::selectPair(int pair) {
    m_selected = pair >= 0 && pair < pairCount() ? pair : -1;
}

void PairViewer::selectLogLine(int line) {
    m_selectingLine = true;
    if (line >= 0 && line < m_model->rowCount()) {
        m_logView->selectionModel()->setCurrentIndex(m_model->index(line),
                                                     QItemSelectionModel::ClearAndSelect);
    } else {
        m_logView->selectionModel()->clearSelection();
    }
    m_selectingLine = false;
}

bool PairViewer::pairRemoved(int pair) const {
    const auto i = static_cast<std::size_t>(pair);
    return isDeleted(m_run.matches().m_leftPaths[i]) || isDeleted(m_run.matches().m_rightPaths[i]);
}

void PairViewer::copyPaths(int pair) {
    const auto i = static_cast<std::size_t>(pair);
    m_sides[kLeftSide].facts.path = m_run.matches().m_leftPaths[i];
    m_sides[kRightSide].facts.path = m_run.matches().m_rightPaths[i];
}

void PairViewer::showPairCaption(int pair) {
    m_nCurrentPair = pair;
    m_page.setTitle(QStringLiteral("Viewing pair %1 of %2").arg(pair + 1).arg(pairCount()));
}

void PairViewer::scrollLogTo(int line, int topLine) {
    selectLogLine(line);
    const int top = std::clamp(topLine, 0, std::max(m_model->rowCount() - 1, 0));
    if (m_model->rowCount() > 0) {
        m_logView->scrollTo(m_model->index(top), QAbstractItemView::PositionAtTop);
    }
}

void PairViewer::setExtentForPair(int pair) {
    // Wide enough to scroll to the end of the pair's longer path line.
    const int first = m_run.matches().m_firstPairLine + 5 * pair;
    const QFontMetrics metrics = m_logView->fontMetrics();
    int extent = m_logView->viewport()->width();
    for (int line : {first + 1, first + 2}) {
        if (line >= 0 && line < static_cast<int>(m_run.matches().m_logView.size())) {
            const QString text = qs(m_run.matches().m_logView[static_cast<std::size_t>(line)]);
            extent = std::max(extent, metrics.horizontalAdvance(text) + 12);
        }
    }
    m_model->setItemSize(extent, metrics.height() + 2);
}

// ----- Navigation -----

void PairViewer::OnNext() {
    m_autoDelete->stopStep();
    RunNextSteps(m_run.settings().m_nDeleteMode);
}

void PairViewer::endAutomaticRunIfDue() {
    if (m_run.settings().m_nDeleteMode != DeleteMode::Automatic || m_autoRun.confirmNeeded ||
        m_autoRun.summaryShown) {
        return;
    }
    m_autoRun.active = 0;
    if (m_window.isMinimized()) {
        m_window.setWindowTitle(kTextCaption);
    } else {
        m_removal->ShowDeleteSummary(m_autoRun.deletedCount);
    }
}

void PairViewer::RunNextSteps(DeleteMode deleteMode) {
    const int c = m_selected;
    const int n = pairCount();
    if (c < 0 || n == 0) {
        return;
    }
    int i = c + 1;
    if (c + 2 > n) {
        i = 0;
        endAutomaticRunIfDue();
    }
    m_panel.setPairInfo(QString());
    // Removed pairs are skipped up to the last pair, never round to the first.
    while (pairRemoved(i) && i < n - 1) {
        ++i;
    }
    const int line = m_run.matches().m_firstPairLine + 5 * i;
    scrollLogTo(line, line - 5);
    setExtentForPair(i);
    showPairCaption(i);
    copyPaths(i);
    LoadSideFacts(kLeftSide);
    LoadSideFacts(kRightSide);
    m_selected = i;
    pushFields();
    if (side(kLeftSide).length == 0 || side(kRightSide).length == 0) {
        ShowPair(true);
        if (m_window.isMinimized()) {
            m_window.setWindowTitle(kTextCaption);
        }
    } else {
        ShowPair(false);
    }
    RunDeleteModeStep(deleteMode);
}

void PairViewer::OnBack() {
    const int c = m_selected;
    const int n = pairCount();
    if (c < 0 || n == 0) {
        return;
    }
    int i = c - 1 < 0 ? n - 1 : c - 1;
    m_panel.setPairInfo(QString());
    m_autoRun.confirmNeeded = 1;
    while (pairRemoved(i) && i != 0) {
        --i;
    }
    const int line = m_run.matches().m_firstPairLine + 5 * i;
    scrollLogTo(line, line);
    setExtentForPair(i);
    showPairCaption(i);
    copyPaths(i);
    LoadSideFacts(kLeftSide);
    LoadSideFacts(kRightSide);
    m_selected = i;
    pushFields();
    ShowPair(false);
    UpdateSizeLabels();
}

void PairViewer::OnFirst() {
    selectPair(pairCount() - 1);
    OnNext();
}

void PairViewer::OnLast() {
    selectPair(0);
    OnBack();
}

void PairViewer::onLogSelectionChanged() {
    if (!m_selectingLine) {
        OnSelchangeLogView();
    }
}

void PairViewer::OnSelchangeLogView() {
    const int first = m_run.matches().m_firstPairLine;
    const QModelIndex current = m_logView->selectionModel()->currentIndex();
    if (pairCount() == 0 || first < 0 || !current.isValid()) {
        return;
    }
    const int s = std::max(current.row(), first);
    int i = (s - first) / 5;
    if (first + 5 * i > m_run.matches().m_lastPairLine) {
        i -= 1;
    }
    i = std::clamp(i, 0, pairCount() - 1);
    setExtentForPair(i);
    if (i == m_selected) {
        return;
    }
    m_panel.setPairInfo(QString());
    m_autoRun.confirmNeeded = 1;
    showPairCaption(i);
    copyPaths(i);
    LoadSideFacts(kLeftSide);
    LoadSideFacts(kRightSide);
    m_selected = i;
    pushFields();
    ShowPair(false);
    UpdateSizeLabels();
}

void PairViewer::ShowCurrentPairAgain() {
    if (m_selected < 0 || m_selected >= pairCount()) {
        return;
    }
    showPairCaption(m_selected);
    copyPaths(m_selected);
    LoadSideFacts(kLeftSide);
    LoadSideFacts(kRightSide);
    pushFields();
    ShowPair(side(kLeftSide).length == 0 || side(kRightSide).length == 0);
    UpdateSizeLabels();
}

// ----- Panes and facts -----

std::string PairViewer::placeholderPath(bool noMatch) const {
    return FindSharedFile(noMatch ? "twinly/NoMatch.jpg" : "twinly/NoImage.jpg").toStdString();
}

void PairViewer::ShowPair(bool noMatch) {
    m_lastNoMatch = noMatch;
    showPictures(noMatch, false);
    pushFields();
}

void PairViewer::RefitImages() {
    if (m_selected >= 0) {
        showPictures(m_lastNoMatch, true);
    }
}

void PairViewer::showPictures(bool noMatch, bool onlyResized) {
    std::array<bool, 2> wanted{};
    for (int s : {kLeftSide, kRightSide}) {
        wanted[s] = !onlyResized || !(m_sides[s].fittedFor == pane(s)->paneSize());
    }
    if (!wanted[kLeftSide] && !wanted[kRightSide]) {
        return;
    }
    WaitCursor wait;
    const std::string placeholder = placeholderPath(noMatch);
    std::array<PaneLoad, 2> loads;
    if (wanted[kLeftSide] && wanted[kRightSide]) {
        LoadPanePair(side(kLeftSide).path, pane(kLeftSide)->paneSize(), side(kRightSide).path,
                     pane(kRightSide)->paneSize(), placeholder, loads[kLeftSide],
                     loads[kRightSide]);
    } else {
        const int s = wanted[kLeftSide] ? kLeftSide : kRightSide;
        loads[s] = LoadPaneImage(side(s).path, placeholder, pane(s)->paneSize());
    }
    for (int s : {kLeftSide, kRightSide}) {
        if (!wanted[s]) {
            continue;
        }
        SideFacts& facts = m_sides[s].facts;
        const PaneLoad& load = loads[s];
        if (!onlyResized) {
            SetReadImageFacts(facts, load.read, load.width, load.height);
        }
        pane(s)->setPicture(load.fitted);
        // A removed side stays crossed out whenever its pair is shown.
        pane(s)->setCrossed(isDeleted(facts.path));
        m_sides[s].fittedFor = pane(s)->paneSize();
    }
}

void PairViewer::LoadSideFacts(int s) {
    ReadSideFileFacts(side(s));
}

void PairViewer::UpdateSizeLabels() {
    for (int s : {kLeftSide, kRightSide}) {
        const QString text = m_run.settings().m_bShowFileSizes
                                 ? qs(FormatFileSize(side(s).length) + " bytes")
                                 : QString();
        m_panel.setSizeText(s, text);
    }
}

void PairViewer::RunDeleteModeStep(DeleteMode deleteMode) {
    m_autoDelete->RunDeleteModeStep(deleteMode);
}

void PairViewer::pushFields() {
    for (int s : {kLeftSide, kRightSide}) {
        m_panel.setSideTexts(s, qs(side(s).titleText), qs(side(s).dimensionsLabel));
    }
}

void PairViewer::showPairInfo(const std::string& text) {
    m_panel.setPairInfo(qs(text));
}

void PairViewer::focusNext() {
    m_panel.button(MainId::Next)->setFocus(Qt::OtherFocusReason);
}

// ----- Pane commands -----

void PairViewer::OnFullScreen(int s) {
    const SideFacts& facts = side(s);
    if (!facts.loaded || isDeleted(facts.path)) {
        return;
    }
    QScreen* screen = m_window.screen();
    const QSize available = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    DisplayImage image;
    {
        WaitCursor wait;
        image = ReadImageForArea(facts.path, {available.width() - 20, available.height() - 20},
                                 FitToScreenSize);
    }
    if (!image.read) {
        return;
    }
    CImageView view(std::move(image), &m_window);
    // Without a window manager to maximise it, it still covers the screen.
    if (screen != nullptr) {
        view.setGeometry(screen->availableGeometry());
    }
    view.exec();
}

void PairViewer::OpenImage(int s) {
    const std::string& path = side(s).path;
    if (!path.empty() && !isDeleted(path)) {
        m_desktop.openFile(path);
    }
}

void PairViewer::ShowProperties(int s) {
    const std::string& path = side(s).path;
    if (!path.empty() && !isDeleted(path)) {
        m_desktop.showProperties(path);
    }
}

void PairViewer::updatePaneMenu(int s) {
    const SideFacts& facts = side(s);
    const bool usable = facts.loaded && !facts.path.empty() && !isDeleted(facts.path);
    const PaneMenuIds& ids = kPaneMenus[clampSide(s)];
    for (int id : {ids.fullScreen, ids.open, ids.properties, ids.remove, ids.move}) {
        m_menus.action(id)->setEnabled(usable);
    }
    const std::string& folder =
        s == kRightSide ? m_run.settings().m_strMoveFolder2 : m_run.settings().m_strMoveFolder;
    if (!MoveFolderExists(folder)) {
        m_menus.action(ids.move)->setEnabled(false);
    }
}

void PairViewer::showPaneMenu(int s, const QPoint& globalPos) {
    updatePaneMenu(s);
    m_menus.contextMenu(kPaneMenus[clampSide(s)].menu)->exec(globalPos);
}
