#pragma once

#include <array>
#include <string>

#include "find_modes.h"
#include "setup_dialog.h"

class Desktop;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

/// Control ids of the find setup.
namespace FindSetupId {
enum : int {
    Filter = 1001,
    RestrictionGroup = 1061,
    RestrictNone = 1062,
    RestrictAspect = 1063,
    RestrictSize = 1064,
    AspectTolerance = 1065,
    SizeTolerance = 1066,
    Adjust = 1069,
    AdjustAmount = 1070,
    MethodGroup = 1073,
    MethodEuclidean = 1074,
    MethodWeighted = 1075,
    MethodVariance = 1101,
    MethodLuminance = 1102,
    UseLuminance = 1103,
    Mirror = 1104,
    DupsLimit = 1107,
    FilterLabel = 1113,
    Rotation = 1114,
};
}  // namespace FindSetupId

/// "Find dups setup (method and restrictions)": the match method, greyscale,
/// mirror and rotation checks, colour adjustment, match restriction with tolerances, the
/// pairs limit and, once unlocked, the resampling filter of builds.
class CFindSetupDlg : public SetupDialog {
  public:
    explicit CFindSetupDlg(Desktop& desktop, QWidget* parent = nullptr);

    // In and out (out on OK, numbers clamped).
    int m_nMethod = 0;  ///< 0..3
    int m_bUseLumForGrey = 0;
    int m_bCheckMirror = 0;
    int m_bCheckRotation = 0;
    int m_bAdjustColor = 0;
    int m_nAdjustAmount = 5;  ///< 0..100
    MatchRestriction m_nMatchRestriction = MatchRestriction::None;
    int m_nAspectTol = 0;     ///< 0..100
    int m_nSizeTol = 0;       ///< 0..100
    int m_nDupsLimit = 1000;  ///< 10..1,000,000
    int m_nFilterIndex = 3;   ///< 0..13
    /// The filter list shows; set by typing the access tolerances, kept by the
    /// caller for the rest of the run.
    int m_bFilterUnlocked = 0;
    // Out: the number texts as typed.
    std::string m_strAdjustAmount;
    std::string m_strAspectTol;
    std::string m_strSizeTol;
    std::string m_strDupsLimit;

    /// The resampling filters in list order; the index is m_nFilterIndex.
    static const std::array<const char*, 14> kFilterNames;

  protected:
    void onInitDialog() override;
    void accept() override;

  private:
    void buildLayout();
    void applyRestriction();
    void applyAdjustEnable();
    void checkFilterAccess();
    void showFilter(bool shown);

    Desktop& m_desktop;
    bool m_unlocked = false;
    bool m_writing = false;  // texts being filled by the dialog itself

    QButtonGroup* m_methods = nullptr;
    QButtonGroup* m_restrictions = nullptr;
    QCheckBox* m_useLum = nullptr;
    QCheckBox* m_mirror = nullptr;
    QCheckBox* m_rotation = nullptr;
    QCheckBox* m_adjust = nullptr;
    QLineEdit* m_adjustAmount = nullptr;
    QLineEdit* m_aspectTol = nullptr;
    QLineEdit* m_sizeTol = nullptr;
    QLineEdit* m_dupsLimit = nullptr;
    QLabel* m_filterLabel = nullptr;
    QComboBox* m_filter = nullptr;
};
