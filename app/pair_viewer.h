#pragma once

#include <QObject>
#include <array>
#include <memory>
#include <string>

#include "delete_criteria.h"
#include "match_list.h"
#include "pane_fit.h"
#include "side_facts.h"

class AutoDeleteRunner;
class CommandRouter;
class Desktop;
class FileOps;
class ImagePane;
class MainMenus;
class MatchListModel;
class PairRemoval;
class Prompter;
class QListView;
class QWidget;
class RunState;
class ViewerPanel;
class ViewPage;

/// Image 1 of a pair is shown on the left, image 2 on the right.
inline constexpr int kLeftSide = 0;
inline constexpr int kRightSide = 1;

/// Where an automatic delete run stands; the delete steps count into it and
/// the summary reads it.
struct AutoDeleteRun {
    int active = 0;
    /// Set when "View dups" is entered, by Back, by a click in the log view
    /// and by the summary; the next automatic removal asks again.
    int confirmNeeded = 1;
    int summaryShown = 0;
    int firstPair = 1;  ///< 1-based pair at which the run started
    int deletedCount = 0;
    /// What the criteria chose for the pair shown; decides while minimised.
    DeleteVerdict lastVerdict = DeleteVerdict::NoDelete;
};

/// The pair viewer of "View dups": the log view's model over the run's match
/// list, the current pair shown in the two panes with its file facts, and the
/// steps through the pairs. Removing images is PairRemoval's; the automatic
/// modes are AutoDeleteRunner's. `window` parents the full-screen view and
/// carries the minimised caption. User-interface thread.
class PairViewer : public QObject {
    Q_OBJECT
  public:
    PairViewer(RunState& run, ViewerPanel& panel, ViewPage& page, CommandRouter& commands,
               MainMenus& menus, Prompter& prompter, Desktop& desktop, FileOps& fileOps,
               QWidget& window);
    ~PairViewer() override;

    PairRemoval& removal() { return *m_removal; }
    AutoDeleteRunner& autoDelete() { return *m_autoDelete; }
    int pairCount() const;

    /// Takes over a freshly read list (swapped in; `list` gets the old lines).
    /// No pair is selected afterwards.
    void replaceMatches(MatchList& list);
    /// Re-orders the pairs by percentage; false when the list was left alone.
    bool sortMatches(bool descending);

    /// The current pair: the selected entry of the left path list, -1 for none.
    int selectedPair() const { return m_selected; }
    /// Selects an entry of the left path list without showing it; -1 for none.
    void selectPair(int pair);
    /// The index of the pair the caption names (0-based).
    int currentPairIndex() const { return m_nCurrentPair; }
    void setCurrentPairIndex(int index) { m_nCurrentPair = index; }
    /// Selects a line of the log view as the program, not the user, does.
    void selectLogLine(int line);

    // ----- Navigation -----
    void OnNext();
    /// The steps of Next with the delete-mode step run for `deleteMode`.
    void RunNextSteps(DeleteMode deleteMode);
    void OnBack();
    void OnFirst();
    void OnLast();
    /// The user selected a line of the log view.
    void OnSelchangeLogView();
    /// Shows the current pair again, reading both files afresh.
    void ShowCurrentPairAgain();

    // ----- Panes and facts -----
    /// Reads and shows both images of the current pair; a side that cannot be
    /// read shows NoMatch.jpg (`noMatch`) or NoImage.jpg instead.
    void ShowPair(bool noMatch);
    /// Fits both pictures again after the panes changed size.
    void RefitImages();
    void LoadSideFacts(int side);
    void UpdateSizeLabels();
    /// What runs after Next has shown a pair: the criteria of the
    /// semi-automatic and automatic modes, and the next automatic step.
    void RunDeleteModeStep(DeleteMode deleteMode);
    /// Writes the sides' texts, the caption and the size labels to the controls.
    void pushFields();
    /// The criteria status line beside Next.
    void showPairInfo(const std::string& text);
    /// Leaves the keyboard focus on Next, so that Enter walks on.
    void focusNext();
    const SideFacts& side(int side) const { return m_sides[clampSide(side)].facts; }
    SideFacts& side(int side) { return m_sides[clampSide(side)].facts; }
    ImagePane* pane(int side) const;
    AutoDeleteRun& autoRun() { return m_autoRun; }

    // ----- Pane commands -----
    void OnFullScreen(int side);
    void OpenImage(int side);
    void ShowProperties(int side);
    /// Enables the items of the side's pane menu (142 left, 141 right) by its state.
    void updatePaneMenu(int side);

  private:
    struct Side {
        SideFacts facts;
        FitSize fittedFor;  ///< the pane size the picture was fitted to
    };
    static int clampSide(int side) { return side == kRightSide ? kRightSide : kLeftSide; }
    bool pairRemoved(int pair) const;
    void copyPaths(int pair);
    void showPairCaption(int pair);
    void scrollLogTo(int line, int topLine);
    void setExtentForPair(int pair);
    void endAutomaticRunIfDue();
    void showPaneMenu(int side, const QPoint& globalPos);
    void onLogSelectionChanged();
    std::string placeholderPath(bool noMatch) const;
    void showPictures(bool noMatch, bool onlyResized);

    RunState& m_run;
    ViewerPanel& m_panel;
    ViewPage& m_page;
    MainMenus& m_menus;
    Desktop& m_desktop;
    QWidget& m_window;
    std::unique_ptr<MatchListModel> m_model;
    std::unique_ptr<PairRemoval> m_removal;
    std::unique_ptr<AutoDeleteRunner> m_autoDelete;
    QListView* m_logView;
    std::array<Side, 2> m_sides;
    AutoDeleteRun m_autoRun;
    int m_selected = -1;
    int m_nCurrentPair = 0;
    bool m_lastNoMatch = false;
    bool m_selectingLine = false;
};
