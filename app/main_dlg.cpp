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
#include "datafile_commands.h"
#include "desktop.h"
#include "find_commands.h"
#include "find_page.h"
#include "get_data_page.h"
#include "job_controller.h"
#include "job_display.h"
#include "log_commands.h"
#include "main_ids.h"
#include "main_layout.h"
#include "main_menus.h"
#include "main_texts.h"
#include "method_page.h"
#include "not_dup_list.h"
#include "option_commands.h"
#include "overview_commands.h"
#include "pair_viewer.h"
#include "placement.h"
#include "prompter.h"
#include "review_commands.h"
#include "save_datafile_dlg.h"
#include "setup_commands.h"
#include "single_image_commands.h"
#include "status_lines.h"
#include "undo_commands.h"
#include "view_page.h"
#include "viewer_panel.h"

namespace {

// A missing folder opens the file dialogs in its parent with its name typed
// in, and the first Save As would write beside it.
void makeDefaultFolders(const TwinlySettings& s) {
    for (const std::string* folder : {&s.m_strDupDataPath, &s.m_strListPath}) {
        const QString path = QString::fromStdString(*folder);
        if (QDir::isAbsolutePath(path)) {
            QDir().mkpath(path);
        }
    }
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
    SetControlId(this, MainId::MainWindow);
    setWindowTitle(kTextCaption);
    setWindowIcon(QIcon(":/twinly/twinly.png"));
    buildControls();
    connectCommands();
    initialise();
    // They take the slots' sources from the settings just loaded.
    m_builds = std::make_unique<BuildCommands>(m_run, *m_jobs, *m_jobDisplay, *m_status, *this,
                                               m_commands, *m_menus, m_prompter, m_desktop, *this);
    m_finds = std::make_unique<FindCommands>(m_run, *m_jobs, *m_jobDisplay, *m_status, *this,
                                             *m_findPage, *m_logCommands, m_commands, m_prompter);
    m_single = std::make_unique<SingleImageCommands>(m_run, m_commands, m_prompter);
    const std::string notDupList = NotDupListPath(m_dataFolder.toStdString());
    m_finds->setNotDupListPath(notDupList);
    m_review = std::make_unique<ReviewCommands>(*m_pairViewer, m_commands, *m_menus, m_prompter,
                                                notDupList);
    m_overview = std::make_unique<OverviewCommands>(m_run, *m_pairViewer, *this, m_commands,
                                                    m_prompter, *this);
    m_undo =
        std::make_unique<UndoCommands>(m_run, *m_pairViewer, m_commands, m_prompter, m_fileOps);
}

CMainDlg::~CMainDlg() {
    OnDestroy();
}

void CMainDlg::buildControls() {
    using namespace MainId;
    m_menus = new MainMenus(this);
    m_jobs = new JobController(this);

    m_client = new QWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menus->menuBar());
    layout->addWidget(m_client);

    m_tab = PlaceControl<QTabWidget>(m_client, Tabs, QRect(8, 8, 640, 306));
    m_methodPage = new MethodPage(m_run, *m_jobs);
    m_getDataPage = new GetDataPage(m_run);
    m_findPage = new FindPage(m_run, *m_jobs);
    m_viewPage = new ViewPage;
    m_tab->addTab(m_methodPage, "Method");
    m_tab->addTab(m_getDataPage, "Get data");
    m_tab->addTab(m_findPage, "Find dups");
    m_tab->addTab(m_viewPage, "View dups");

    auto* dataState = PlaceControl<QLabel>(m_client, DataState, QRect(12, 318, 636, 20), QString());

    // The column right of the tab control, on every page.
    PlaceControl<QPushButton>(m_client, Close, QRect(658, 34, 134, 30), "Close");
    PlaceControl<QPushButton>(m_client, Help, QRect(658, 70, 134, 30), "Help");
    auto* total = PlaceControl<QLabel>(m_client, JobTotal, QRect(658, 118, 134, 20), QString());
    auto* counter = PlaceControl<QLabel>(m_client, JobCounter, QRect(658, 140, 134, 20), QString());
    auto* detail = PlaceControl<QLabel>(m_client, JobDetail, QRect(658, 162, 134, 20), QString());
    auto* progress = PlaceControl<QProgressBar>(m_client, Progress, QRect(658, 244, 134, 16));
    progress->setTextVisible(false);
    progress->hide();
    auto* abort =
        PlaceControl<QPushButton>(m_client, Abort, QRect(658, 266, 134, 30), "Press to abort");
    abort->hide();
    m_status = std::make_unique<StatusLines>(*m_getDataPage, *dataState, *detail, *counter, *total);
    m_jobDisplay = std::make_unique<JobDisplay>(*this, *progress, *abort, *m_status);

    m_viewer = new ViewerPanel(m_run, m_client);
    m_viewer->hide();
    m_pairViewer = std::make_unique<PairViewer>(m_run, *m_viewer, *m_viewPage, m_commands, *m_menus,
                                                m_prompter, m_desktop, m_fileOps, *this);
    m_logCommands = std::make_unique<LogCommands>(m_run, *m_pairViewer, *m_viewPage, *this,
                                                  m_commands, *m_menus, m_prompter, m_desktop);
    m_options = std::make_unique<OptionCommands>(m_run, *m_pairViewer, *m_viewer, m_commands,
                                                 *m_menus, m_desktop);
    m_setups = std::make_unique<SetupCommands>(m_run, m_pairViewer->autoDelete(), m_commands,
                                               m_prompter, m_desktop, m_store, *this);
    m_datafiles = std::make_unique<DatafileCommands>(m_run, *m_jobs, *m_status, *this, m_commands,
                                                     m_prompter, m_desktop, *this);

    m_accelerators = new AcceleratorFilter(
        this, [this] { return currentPage() == kPageView; }, [this](int id) { OnCommand(id); });
}

void CMainDlg::connectCommands() {
    using namespace MainId;
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
    connect(m_methodPage, &MethodPage::compareModeChosen, &m_run, &RunState::setCompareMode);
    m_saveTimer.setSingleShot(true);
    connect(&m_saveTimer, &QTimer::timeout, this, &CMainDlg::onDeferredSave);

    m_commands.setHandler(Close, [this] { reject(); });
    m_commands.setHandler(MenuExit, [this] { reject(); });
    m_commands.setHandler(Help, [this] { m_desktop.openHelp("introduction.html"); });
    m_commands.setHandler(MenuHelp, [this] { m_desktop.openHelp("introduction.html"); });
    m_commands.setHandler(MenuAbout, [this] {
        CAboutDlg about(this);
        about.exec();
    });
    m_commands.setHandler(MenuOpenDupsLog, [this] { selectPage(kPageView, true); });
    m_commands.setHandler(MenuLargeView, [this] { toggleLargeView(); });
    m_commands.setHandler(PressFocused, [this] { pressFocusedButton(); });
    m_commands.setHandler(Abort, [this] {
        FindControl<QPushButton>(m_client, MainId::Abort)->hide();
        if (m_jobs->isRunning()) {
            m_jobs->requestAbort();
        }
    });
}

void CMainDlg::initialise() {
    m_selectingPage = true;
    m_tab->setCurrentIndex(kPageMethod);
    m_selectingPage = false;

    m_status->setDataState(kTextNotBuilt);

    TwinlySettings& settings = m_run.settings();
    LoadSettings(m_store, m_prompter, settings);
    if (settings.m_bFirstRun) {
        ApplyFirstStartDefaults(settings, m_dataFolder.toStdString());
    }
    CheckDeleteSequence(settings);

    seedLogFolder();
    makeDefaultFolders(settings);
    m_findPage->setHintVisible(true);
    settings.m_nMatchTol = MatchBand::ClampTenths(settings.m_nMatchTol);
    m_findPage->showBand(settings.m_nMatchTol);

    m_status->setJobLine(JobLine::Detail, QString());
    m_status->setJobLine(JobLine::Counter, QString());
    m_getDataPage->showNothingLoaded();

    layoutCompactAtStart();
    showPage(false);
    m_run.applyMoveRule();
}

void CMainDlg::seedLogFolder() {
    // An empty setting would name the file system's root; leave it alone.
    const std::string& logPath = m_run.settings().m_strLogPath;
    if (logPath.empty()) {
        return;
    }
    const QString folder = QString::fromStdString(logPath);
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

MainPage CMainDlg::currentPage() const {
    return static_cast<MainPage>(m_tab->currentIndex());
}

void CMainDlg::onTabChanged() {
    if (m_selectingPage) {
        return;
    }
    m_status->setDataState(QString());
    m_status->setStatus(QString());
    showPage(true);
}

void CMainDlg::showPage(bool byUser) {
    const MainPage page = currentPage();
    m_status->hideDataState();
    m_viewer->setVisible(page == kPageView);
    switch (page) {
        case kPageMethod:
            layoutCompact();
            break;
        case kPageGetData:
            layoutCompact();
            m_getDataPage->refreshDatafileTexts();
            break;
        case kPageFind:
            layoutCompact();
            m_findPage->refreshSettingsText();
            m_findPage->updateFindButton();
            break;
        case kPageView:
            layoutTall();
            m_viewer->setPairInfo(QString());
            m_pairViewer->autoRun().confirmNeeded = 1;
            if (byUser) {
                if (m_run.resultsPending()) {
                    m_logCommands->OpenDefaultLog();
                    m_run.setResultsPending(false);
                } else {
                    m_pairViewer->ShowCurrentPairAgain();
                }
            }
            m_viewer->setSourceLabelsVisible(m_pairViewer->pairCount() > 0);
            break;
    }
}

void CMainDlg::selectPage(MainPage page, bool byUser) {
    m_selectingPage = true;
    m_tab->setCurrentIndex(page);
    m_selectingPage = false;
    showPage(byUser);
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

void CMainDlg::layoutTall() {
    // The arithmetic sizes the client area only; the menu, the strip below the
    // viewer and the window frame come off the usable screen first, or the
    // large view pushes "Next" and "Back" below the screen's edge.
    const QRect screenRect = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const int chrome = menuHeight() + 10 + std::max(0, frameGeometry().height() - height());
    const QPoint at = pos() - screenRect.topLeft();
    const TallLayout t =
        ComputeTallLayout(at.x(), at.y(), kTemplateWidth, kTemplateHeight, screenRect.width(),
                          screenRect.height() - chrome, m_run.settings().m_bLargeView != 0);
    const int clientHeight = t.height + 10;
    m_viewer->layoutTall(t.dw, t.dh, t.width, clientHeight - ViewerPanel::kTop);
    setFixedSize(t.width, menuHeight() + clientHeight);
    move(screenRect.topLeft() + QPoint(t.x, t.y));
    m_bExpanded = 1;
}

void CMainDlg::showViewLayout(bool tall) {
    if (tall) {
        layoutTall();
        m_viewer->setVisible(currentPage() == kPageView);
        return;
    }
    setFixedSize(kTemplateWidth, menuHeight() + ReturnClientHeight(kTemplateHeight));
    m_bExpanded = 0;
    m_viewer->hide();
}

void CMainDlg::toggleLargeView() {
    TwinlySettings& s = m_run.settings();
    s.m_bLargeView = s.m_bLargeView ? 0 : 1;
    selectPage(kPageView, true);
    m_pairViewer->RefitImages();
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
        if (currentPage() == kPageView && m_pairViewer->pairCount() > 0) {
            layoutTall();
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

// Whichever of left/right "Delete", "Next" or "Back" has the focus.
void CMainDlg::pressFocusedButton() {
    using namespace MainId;
    QWidget* focus = QApplication::focusWidget();
    for (int id : {RightDelete, LeftDelete, Next, Back}) {
        if (focus != nullptr && focus == m_viewer->button(id)) {
            OnCommand(id);
            return;
        }
    }
}

// ----- Close -----

void CMainDlg::reject() {
    // No image may go behind the reminder or after the window has gone.
    m_pairViewer->autoDelete().endRun();
    if (m_run.primary().hasRecords() && !m_jobs->isRunning() &&
        m_run.settings().m_bRemindSave == 1 && m_run.primaryUnsaved()) {
        CSaveDatafileDlg reminder(this);
        const int answer = reminder.exec();
        m_run.settings().m_bRemindSave = reminder.remind() ? 1 : 0;
        if (answer == CSaveDatafileDlg::kYes) {
            m_run.setPrimaryUnsaved(false);
            // Saved once this close request has fully unwound.
            m_saveTimer.start(400);
            return;
        }
    }
    if (m_run.logChanged()) {
        m_logCommands->WriteBack();
    }
    m_saveTimer.stop();
    QDialog::reject();
}

void CMainDlg::onDeferredSave() {
    if (!m_jobs->isRunning()) {
        m_datafiles->saveAs(kPrimarySlot);
    }
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
    SaveSettings(m_store, m_prompter, m_run.settings(), m_findPage->lowerBoundTenths());
}
