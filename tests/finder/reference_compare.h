#pragma once
// A plain transcription of the comparison formulas, one pixel at a time with no
// shortcuts. The fast comparison must give exactly these values.

#include <array>
#include <string>
#include <vector>

#include "compare.h"
#include "image_record.h"

class ReferenceComparer {
  public:
    explicit ReferenceComparer(const FindSettings& settings);

    bool prepare(const ImageRecord& first);
    /// The pair with the second image turned clockwise and then mirrored as
    /// `orientation` says.
    int compare(const ImageRecord& first, const ImageRecord& second, int low, int high,
                ThumbOrientation orientation = {});
    /// The run's value of a pair: the largest over the stored orientation
    /// and those the mirror and rotation checks add.
    int runValue(const ImageRecord& first, const ImageRecord& second, int low, int high);

  private:
    int tableAt(int index) const;

    FindSettings m_settings;
    std::vector<int> m_table;
    int m_lumFlag = 0;
    std::array<int, 100> m_firstLum{};
    int m_firstLumSum = 0;
    double m_aspectRatio = 0.0;
    double m_aspectTol = 0.0;
    int m_widthTol = 0;
    int m_heightTol = 0;
};

struct ReferenceRunInput {
    int mode = 0;
    std::vector<ImageRecord> primary;
    std::vector<std::string> primaryPaths;
    std::vector<ImageRecord> secondary;
    std::vector<std::string> secondaryPaths;
    ImageRecord single;
    std::string singlePath;
    FindSettings settings;
    int low = 980;
    int high = 1000;
    int dupsLimit = 1000;
};

/// The run's loops one pair after the other; returns the log lines after
/// "-- Matches --" up to the end, and the total line.
struct ReferenceRunLog {
    std::vector<std::string> records;  ///< the five-line records, in order
    int total = 0;
    bool limited = false;
};
ReferenceRunLog ReferenceRun(const ReferenceRunInput& input);
