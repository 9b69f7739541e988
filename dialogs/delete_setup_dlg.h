#pragma once

#include <array>
#include <string>

#include "delete_criteria.h"
#include "setup_dialog.h"

class Desktop;
class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QStackedWidget;

/// Control ids of the delete setup.
namespace DeleteSetupId {
enum : int {
    SwapUp = 1001,
    SwapDown = 1002,
    ModeOff = 1062,
    ModeSemiAuto = 1063,
    ModeAutomatic = 1064,
    Criteria = 1096,
    AutomaticText = 1097,
    OtherText = 1098,
    Pause = 1104,
    Permanent = 1105,
    MoveInstead = 1106,
    Delay = 1114,
};
}  // namespace DeleteSetupId

/// "Automatic and Semi-auto delete setup...": the delete mode, the ordered
/// criteria list the viewer walks for each pair, the pause, permanent deletes,
/// move instead of delete and the automatic step delay.
class CDeleteSetupDlg : public SetupDialog {
  public:
    explicit CDeleteSetupDlg(Desktop& desktop, QWidget* parent = nullptr);

    // In and out (out on OK).
    DeleteMode m_nMode = DeleteMode::Manual;
    int m_bPause = 0;
    int m_bPermanent = 0;
    int m_bMoveInstead = 0;
    /// The stored step interval in milliseconds: shown less 100, stored as the
    /// typed delay clamped to 0..2000 plus 100.
    int m_nDelay = 500;
    /// Criterion codes, first position on top of the list.
    std::array<int, kDeleteCriterionCount> m_nSequence = kDefaultDeleteSequence;
    /// Out: the delay text as typed.
    std::string m_strDelay;

    static constexpr const char* kAutomaticExplanation =
        "Tests begin with first criteria for left and right displayed duplicate "
        "images.\n"
        "If a difference, the selected image is deleted/moved.\n"
        "If not, the next criteria in the list is used. \n"
        "If 'No delete/move', neither image is deleted with optional 'Pause'.";
    static constexpr const char* kOtherExplanation =
        "Tests begin with first criteria for displayed images.\n"
        "If a difference, the selected image has the focus set for delete/move.\n"
        "If no difference, the next criteria in the list is used.\n"
        "'No delete/move' will set the focus to the 'Next' push button.";

  protected:
    void onInitDialog() override;
    void accept() override;

  private:
    void buildLayout();
    void showModeControls();
    void swap(int step);

    Desktop& m_desktop;
    QListWidget* m_lbCriteria = nullptr;
    QButtonGroup* m_modes = nullptr;
    QCheckBox* m_pause = nullptr;
    QCheckBox* m_permanent = nullptr;
    QCheckBox* m_moveInstead = nullptr;
    QLineEdit* m_delay = nullptr;
    QStackedWidget* m_explanations = nullptr;
    QLabel* m_automaticText = nullptr;
    QLabel* m_otherText = nullptr;
};
