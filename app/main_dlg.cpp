#include "main_dlg.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "about_dlg.h"
#include "accelerator_filter.h"
#include "atomic_file.h"
#include "auto_delete_runner.h"
#include "build_commands.h"
#include "control_ids.h"
#include "datafile_commands.h"
#include "desktop.h"
#include "find_commands.h"
#include "find_page.h"
#include "get_data_page.h"
#include "job_controller.h"
#include "log_commands.h"
#include "main_layout.h"
#include "main_menus.h"
#include "main_texts.h"
#include "method_page.h"
#include "move_rule.h"
#include "option_commands.h"
#include "pair_viewer.h"
#include "placement.h"
#include "prompter.h"
#include "rms_table.h"
#include "save_datafile_dlg.h"
#include "settings_summary.h"
#include "setup_commands.h"
#include "single_image_commands.h"
#include "tenths.h"
#include "up_down_control.h"
#include "view_page.h"
#include "viewer_panel.h"

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

CMainDlg::CMainDlg(const MainDlgServices& services, QWidget* parent)
    : QDialog(parent),
      m_store(services.store),
      m_prompter(services.prompter),
      m_fileOps(services.fileOps),
      m_desktop(services.desktop),
      m_dataFolder(services.dataFolder),
      m_seedLogFile(services.seedLogFile) {
    SetControlId(this, 102);
    setWindowTitle(kTextCaption);
    setWindowIcon(QIcon(":/twinly/twinly.png"));
    buildControls();
    connectCommands();
    initialise();
    // They take the slots' sources from the settings just loaded.
    m_builds = std::make_unique<BuildCommands>(*this);
    m_finds = std::make_unique<FindCommands>(*this);
    m_single = std::make_unique<SingleImageCommands>(*this);
}

CMainDlg::~CMainDlg() {
    OnDestroy();
}

void CMainDlg::buildControls() {
    m_menus = new MainMenus(this);
    m_jobs = new JobController(this);
    m_datafiles = std::make_unique<DatafileCommands>(*this);

    m_client = new QWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menus->menuBar());
    layout->addWidget(m_client);

    m_tab = PlaceControl<QTabWidget>(m_client, 1054, QRect(8, 8, 640, 306));
    m_methodPage = new MethodPage;
    m_getDataPage = new GetDataPage;
    m_findPage = new FindPage;
    m_viewPage = new ViewPage;
    m_tab->addTab(m_methodPage, "Method");
    m_tab->addTab(m_getDataPage, "Get data");
    m_tab->addTab(m_findPage, "Find dups");
    m_tab->addTab(m_viewPage, "View dups");

    m_dataState = PlaceControl<QLabel>(m_client, 1052, QRect(12, 318, 636, 20), QString());

    // The column right of the tab control, on every page.
    PlaceControl<QPushButton>(m_client, 2, QRect(658, 34, 134, 30), "Close");
    PlaceControl<QPushButton>(m_client, 1000, QRect(658, 70, 134, 30), "Help");
    m_status7 = PlaceControl<QLabel>(m_client, 1056, QRect(658, 118, 134, 20), QString());
    m_status4 = PlaceControl<QLabel>(m_client, 1051, QRect(658, 140, 134, 20), QString());
    m_status3 = PlaceControl<QLabel>(m_client, 1040, QRect(658, 162, 134, 20), QString());
    m_progress = PlaceControl<QProgressBar>(m_client, 1037, QRect(658, 244, 134, 16));
    m_progress->setTextVisible(false);
    m_progress->hide();
    m_abort = PlaceControl<QPushButton>(m_client, 1090, QRect(658, 266, 134, 30), "Press to abort");
    m_abort->hide();

    m_viewer = new ViewerPanel(m_client);
    m_viewer->hide();
    m_pairViewer = std::make_unique<PairViewer>(*this);
    m_logCommands = std::make_unique<LogCommands>(*this, *m_pairViewer);
    m_options = std::make_unique<OptionCommands>(*this);
    m_setups = std::make_unique<SetupCommands>(*this);

    m_accelerators = new AcceleratorFilter(
        this, [this] { return currentPage() == kPageView; }, [this](int id) { OnCommand(id); });
}

void CMainDlg::connectCommands() {
    for (QPushButton* b : m_client->findChildren<QPushButton*>()) {
        if (!b->objectName().startsWith("id")) {
            continue;
        }
        const int id = b->objectName().mid(2).toInt();
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    }
    connect(m_menus, &MainMenus::command, this, &CMainDlg::OnCommand);
    connect(m_tab, &QTabWidget::currentChanged, this, &CMainDlg::onTabChanged);
    connect(m_methodPage, &MethodPage::compareModeChanged, this, &CMainDlg::onCompareModeChanged);
    m_saveTimer.setSingleShot(true);
    connect(&m_saveTimer, &QTimer::timeout, this, &CMainDlg::onDeferredSave);

    setCommandHandler(2, [this] { reject(); });
    setCommandHandler(32804, [this] { reject(); });
    setCommandHandler(1000, [this] { showHelp(); });
    setCommandHandler(32796, [this] { showHelp(); });
    setCommandHandler(32797, [this] { showAbout(); });
    setCommandHandler(32794, [this] { SelectViewPage(1); });
    setCommandHandler(32813, [this] { toggleLargeView(); });
    setCommandHandler(32822, [this] { PressFocusedButton(); });
    setCommandHandler(1090, [this] {
        m_abort->hide();
        if (m_jobs->isRunning()) {
            m_jobs->requestAbort();
        }
    });
    // Only the menu's "Open" counts as having the primary data saved.
    setCommandHandler(1083, [this] { OnOpenDatafile(0); });
    setCommandHandler(1087, [this] {
        if (m_nCompareMode == CompareMode::SecondaryToPrimary) {
            OnOpenDatafile(1);
        }
    });
    setCommandHandler(32806, [this] {
        if (OnOpenDatafile(0)) {
            m_bPrimaryUnsaved = 0;
        }
    });
    setCommandHandler(32818, [this] { OnOpenDatafile(1); });
    setCommandHandler(32803, [this] { OnSaveAsDatafile(0); });
    setCommandHandler(32821, [this] { OnSaveAsDatafile(1); });
}

void CMainDlg::initialise() {
    m_nCompareMode = CompareMode::WithinPrimary;
    m_methodPage->setCompareMode(m_nCompareMode);
    m_pRmsTable = std::make_unique<const RmsTable>();

    m_selectingPage = true;
    m_tab->setCurrentIndex(kPageMethod);
    m_selectingPage = false;

    m_dataState->setText(kTextNotBuilt);
    m_viewer->setLeftSource(kTextSourcePrimary);

    m_findPage->upperEdit()->setText(QString::number(MatchBand::kHighestPercent));
    m_findPage->upperSpin()->setPosition(MatchBand::kHighestPercent);

    LoadSettings(m_store, m_prompter, m_settings);
    if (m_settings.m_bFirstRun) {
        ApplyFirstStartDefaults(m_settings, m_dataFolder.toStdString());
    }
    CheckDeleteSequence(m_settings);
    m_nFilterIndex = 3;
    m_bFilterUnlocked = 0;

    seedLogFolder();
    m_findPage->setHintVisible(true);
    initBounds();

    m_bSingleLoaded = 0;
    setStatus3(QString());
    setStatus4(QString());
    m_getDataPage->setSingle(kTextNoSingle, QString());
    m_getDataPage->setSecondary(QString(), kTextNoFileOpened);

    layoutCompactAtStart();
    ShowPage(0);

    m_bPrimaryUnsaved = 0;
    m_strPrimaryPath.clear();
    ApplyMoveRule();
}

void CMainDlg::initBounds() {
    const int p = m_settings.m_nMatchTol / 10;
    m_bResultsPending = 1;
    m_bLogChanged = 0;
    m_settings.m_nMatchTol = MatchBand::ClampTenths(m_settings.m_nMatchTol);
    m_findPage->lowerSpin()->setPosition(MatchBand::ClampPercent(p));
    m_findPage->lowerEdit()->setText(qs(FormatTenths(m_settings.m_nMatchTol)));
}

void CMainDlg::seedLogFolder() {
    // An empty setting would name the file system's root; leave it alone.
    if (m_settings.m_strLogPath.empty()) {
        return;
    }
    const QString folder = qs(m_settings.m_strLogPath);
    const QString target = QDir(folder).filePath("Dups.log");
    if (QFileInfo::exists(target) || !QDir().mkpath(folder)) {
        return;
    }
    QFile seed(m_seedLogFile);
    if (!seed.open(QIODevice::ReadOnly)) {
        return;
    }
    const QByteArray bytes = seed.readAll();
    WriteFileAtomically(target.toStdString(), std::string_view(bytes.constData(), bytes.size()));
}

// ----- Pages -----

int CMainDlg::currentPage() const {
    return m_tab->currentIndex();
}

void CMainDlg::onTabChanged() {
    if (m_selectingPage) {
        return;
    }
    setDataState(QString());
    setStatus(QString());
    ShowPage(1);
}

void CMainDlg::ShowPage(int byUser) {
    const int page = currentPage();
    m_dataState->hide();
    m_viewer->setVisible(page == kPageView);
    switch (page) {
        case kPageMethod:
            layoutCompact();
            break;
        case kPageGetData:
            layoutCompact();
            RefreshDatafileTexts();
            m_getDataPage->enableRowsForMode(m_nCompareMode);
            break;
        case kPageFind:
            layoutCompact();
            RefreshSettingsText();
            UpdateFindButton();
            break;
        case kPageView:
            LayoutViewPage();
            m_viewer->setPairInfo(QString());
            MarkAutoDeleteConfirmNeeded();
            if (byUser) {
                if (m_bResultsPending) {
                    ReloadPairList();
                    m_bResultsPending = 0;
                } else {
                    ShowCurrentPairAgain();
                }
            }
            m_viewer->setSourceLabelsVisible(PairCount() > 0);
            break;
        default:
            break;
    }
}

void CMainDlg::SelectGetDataPage() {
    m_selectingPage = true;
    m_tab->setCurrentIndex(kPageGetData);
    m_selectingPage = false;
    ShowPage(0);
}

void CMainDlg::SelectFindPage() {
    m_selectingPage = true;
    m_tab->setCurrentIndex(kPageFind);
    m_selectingPage = false;
    ShowPage(0);
}

void CMainDlg::SelectViewPage(int byUser) {
    m_selectingPage = true;
    m_tab->setCurrentIndex(kPageView);
    m_selectingPage = false;
    ShowPage(byUser);
}

bool CMainDlg::ComparisonDataLoaded() const {
    switch (m_nCompareMode) {
        case CompareMode::SecondaryToPrimary:
            return m_primary.hasRecords() && m_secondary.hasRecords();
        case CompareMode::SingleToPrimary:
            return m_primary.hasRecords() && m_bSingleLoaded;
        case CompareMode::WithinPrimary:
            break;
    }
    return m_primary.hasRecords();
}

void CMainDlg::UpdateFindButton() {
    if (m_jobs->isRunning()) {
        m_findPage->setFindEnabled(false);
        return;
    }
    const bool enable = ComparisonDataLoaded();
    m_findPage->setFindEnabled(enable);
    if (enable) {
        m_findPage->setHintVisible(false);
    } else if (currentPage() == kPageFind) {
        m_findPage->setHintVisible(true);
    }
}

void CMainDlg::EnableModeButtons(bool enable) {
    m_methodPage->setModeButtonsEnabled(enable);
}

void CMainDlg::RefreshDatafileTexts() {
    const auto texts = [](const DatafileSlot& slot, const std::string& label, const char* name) {
        if (slot.count() != 0) {
            return std::pair(QStringLiteral("%1 data file images: %2").arg(name).arg(slot.count()),
                             qs(label));
        }
        return std::pair(QStringLiteral("%1 data file").arg(name), QString(kTextNoDataFile));
    };
    const auto [primaryLabel, primaryFile] = texts(m_primary, m_slotLabels[0], "Primary");
    const auto [secondaryLabel, secondaryFile] = texts(m_secondary, m_slotLabels[1], "Secondary");
    m_getDataPage->setPrimary(primaryLabel, primaryFile);
    m_getDataPage->setSecondary(secondaryLabel, secondaryFile);
}

void CMainDlg::onCompareModeChanged(CompareMode mode) {
    m_nCompareMode = mode;
    static const char* const kSources[] = {kTextSourcePrimary, kTextSourceSecondary,
                                           kTextSourceSingle};
    m_viewer->setLeftSource(kSources[static_cast<int>(mode)]);
}

// ----- Layout -----

int CMainDlg::menuHeight() const {
    return m_menus->menuBar()->sizeHint().height();
}

void CMainDlg::layoutCompactAtStart() {
    setFixedSize(kTemplateWidth, menuHeight() + CompactClientHeight(kTemplateHeight));
    move(30, 30);
}

void CMainDlg::layoutCompact() {
    if (!m_bExpanded) {
        return;
    }
    setFixedSize(kTemplateWidth, menuHeight() + ReturnClientHeight(kTemplateHeight));
    m_bExpanded = 0;
}

void CMainDlg::LayoutViewPage() {
    // The arithmetic sizes the client area only; the menu, the strip below the
    // viewer and the window frame come off the usable screen first, or the
    // large view pushes "Next" and "Back" below the screen's edge.
    const QRect screenRect = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const int chrome = menuHeight() + 10 + std::max(0, frameGeometry().height() - height());
    const QPoint at = pos() - screenRect.topLeft();
    const TallLayout t =
        ComputeTallLayout(at.x(), at.y(), kTemplateWidth, kTemplateHeight, screenRect.width(),
                          screenRect.height() - chrome, m_settings.m_bLargeView != 0);
    const int clientHeight = t.height + 10;
    m_viewer->layoutTall(t.dw, t.dh, t.width, clientHeight - ViewerPanel::kTop);
    setFixedSize(t.width, menuHeight() + clientHeight);
    move(screenRect.topLeft() + QPoint(t.x, t.y));
    m_bExpanded = 1;
}

void CMainDlg::ShowViewLayout(bool tall) {
    if (tall) {
        LayoutViewPage();
        m_viewer->setVisible(currentPage() == kPageView);
        return;
    }
    setFixedSize(kTemplateWidth, menuHeight() + ReturnClientHeight(kTemplateHeight));
    m_bExpanded = 0;
    m_viewer->hide();
}

void CMainDlg::toggleLargeView() {
    m_settings.m_bLargeView = m_settings.m_bLargeView ? 0 : 1;
    SelectViewPage(1);
    RefitImages();
}

void CMainDlg::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    const Qt::WindowStates wasOff = Qt::WindowMinimized | Qt::WindowMaximized;
    if ((change->oldState() & wasOff) && !(windowState() & wasOff)) {
        // A running job may have put its percentage into the caption.
        setWindowTitle(kTextCaption);
        if (currentPage() == kPageView && PairCount() > 0) {
            LayoutViewPage();
        }
    }
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // The window has no default button: Enter presses the focused button only.
        if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
            button->click();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

// ----- Commands -----

void CMainDlg::setCommandHandler(int id, std::function<void()> handler) {
    m_handlers[id] = std::move(handler);
}

void CMainDlg::OnCommand(int id) {
    const auto it = m_handlers.find(id);
    if (it != m_handlers.end() && it->second) {
        it->second();
    }
}

void CMainDlg::PressFocusedButton() {
    QWidget* focus = QApplication::focusWidget();
    for (int id : {1018, 1017, 1041, 1044}) {
        if (focus != nullptr && focus == m_viewer->button(id)) {
            OnCommand(id);
            return;
        }
    }
}

void CMainDlg::showHelp() {
    m_desktop.openHelp("introduction.html");
}

void CMainDlg::showAbout() {
    CAboutDlg about(this);
    about.exec();
}

void CMainDlg::ApplyMoveRule() {
    const MoveFlags f =
        ::ApplyMoveRule(m_settings.m_bMoveTo != 0, MoveFolderExists(m_settings.m_strMoveFolder),
                        MoveFolderExists(m_settings.m_strMoveFolder2));
    m_bLeftMoves = f.leftMoves;
    m_bRightMoves = f.rightMoves;
    m_settings.m_bMoveTo = f.moveTo ? 1 : 0;
    m_viewer->button(1017)->setText(DeleteButtonCaption(m_bLeftMoves));
    m_viewer->button(1018)->setText(DeleteButtonCaption(m_bRightMoves));
    ApplyMoveButtonRule();
}

void CMainDlg::ApplyMoveButtonRule() {
    const bool show = m_settings.m_bShowMove != 0;
    m_viewer->button(1019)->setVisible(
        MoveButtonShown(show, MoveFolderExists(m_settings.m_strMoveFolder), m_bLeftMoves));
    m_viewer->button(1020)->setVisible(
        MoveButtonShown(show, MoveFolderExists(m_settings.m_strMoveFolder2), m_bRightMoves));
}

// ----- Bounds and status lines -----

FindSettings CMainDlg::findSettings() const {
    FindSettings f;
    f.method = m_settings.m_nMethod;
    f.restriction = m_settings.m_nMatchRestriction;
    f.aspectTol = m_settings.m_nAspectTol;
    f.sizeTol = m_settings.m_nSizeTol;
    f.adjustAmount = m_settings.m_nAdjustAmount;
    f.useLumForGrey = m_settings.m_bUseLumForGrey != 0;
    f.checkMirror = m_settings.m_bCheckMirror != 0;
    f.adjustColor = m_settings.m_bAdjustColor != 0;
    f.prescreen = m_settings.m_bLargeView != 0 && m_nCompareMode != CompareMode::SingleToPrimary;
    return f;
}

void CMainDlg::RefreshSettingsText() {
    m_findPage->setSettingsText(qs(SettingsSummaryText(findSettings())));
}

std::int32_t CMainDlg::lowerBoundTenths() const {
    return ParseTenths(m_findPage->lowerEdit()->text().toStdString());
}

std::int32_t CMainDlg::upperBoundTenths() const {
    return ParseTenths(m_findPage->upperEdit()->text().toStdString());
}

void CMainDlg::setStatus(const QString& text) {
    m_getDataPage->setStatus(text);
}

QString CMainDlg::status() const {
    return m_getDataPage->status();
}

void CMainDlg::setDataState(const QString& text, bool show) {
    m_dataState->setText(text);
    if (show) {
        m_dataState->show();
    }
}

void CMainDlg::setStatus3(const QString& text) {
    m_status3->setText(text);
}

void CMainDlg::setStatus4(const QString& text) {
    m_status4->setText(text);
}

void CMainDlg::setStatus7(const QString& text) {
    m_status7->setText(text);
}

// ----- Close -----

void CMainDlg::reject() {
    // No image may go behind the reminder or after the window has gone.
    m_pairViewer->autoDelete().endRun();
    if (m_primary.hasRecords() && !m_jobs->isRunning() && m_settings.m_bRemindSave == 1 &&
        m_bPrimaryUnsaved == 1) {
        CSaveDatafileDlg reminder(this);
        const int answer = reminder.exec();
        m_settings.m_bRemindSave = reminder.remind() ? 1 : 0;
        if (answer == CSaveDatafileDlg::kYes) {
            m_bPrimaryUnsaved = 0;
            // Saved once this close request has fully unwound.
            m_saveTimer.start(400);
            return;
        }
    }
    if (m_bLogChanged) {
        SaveLogViewToDefault();
    }
    m_saveTimer.stop();
    QDialog::reject();
}

void CMainDlg::onDeferredSave() {
    if (!m_jobs->isRunning()) {
        OnSaveAsDatafile(0);
    }
}

void CMainDlg::OnSaveAsDatafile(int slot) {
    m_datafiles->saveAs(slot);
}

bool CMainDlg::OnOpenDatafile(int slot) {
    return m_datafiles->open(slot);
}

void CMainDlg::OnDestroy() {
    if (m_destroyed) {
        return;
    }
    m_destroyed = true;
    m_saveTimer.stop();
    delete m_accelerators;
    m_accelerators = nullptr;
    m_jobs->stopAndJoin();
    if (m_builds) {
        m_builds->StoreSlotSources();
    }
    SaveSettings(m_store, m_prompter, m_settings, lowerBoundTenths());
    m_primary.clearData();
    m_secondary.clearData();
    m_pRmsTable.reset();
}

// ----- Places later work fills in -----

int CMainDlg::PairCount() const {
    return m_pairViewer->pairCount();
}

void CMainDlg::ReloadPairList() {
    m_logCommands->OpenDefaultLog();
}

void CMainDlg::ShowCurrentPairAgain() {
    m_pairViewer->ShowCurrentPairAgain();
}

void CMainDlg::MarkAutoDeleteConfirmNeeded() {
    m_pairViewer->autoRun().confirmNeeded = 1;
}

void CMainDlg::RefitImages() {
    m_pairViewer->RefitImages();
}

void CMainDlg::SaveLogViewToDefault() {
    m_logCommands->WriteBack();
}

void CMainDlg::ShowResultsAfterRun() {
    m_logCommands->ShowResultsAfterRun();
}
