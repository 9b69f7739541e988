#pragma once
// The pairs of a find run as CSV or JSON, for scripts. Paths are arbitrary
// bytes: CSV carries them as they are, JSON as UTF-8 with every byte that is
// not part of valid UTF-8 written as \udc80..\udcff (the surrogate-escape
// convention, so a reader can recover the exact bytes).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// One match record of a dups log.
struct ExportedPair {
    std::string number;   ///< the match number
    std::string percent;  ///< tenths, as the log writes them: "98.5"
    std::string image1;
    std::string image2;
    std::string data1;  ///< the data file image 1 came from ("" for a single image)
    std::string data2;  ///< the data file image 2 came from
};

/// One data file a run searched.
struct ExportedDataFile {
    std::string path;
    std::string role;  ///< "primary" or "secondary"
    int images = 0;
};

/// What the JSON document says about the run besides its pairs.
struct PairExportInfo {
    std::string mode;  ///< "primary", "secondary" or "single"
    std::string low;   ///< the band, as the log writes it
    std::string high;
    std::string method;
    int primaryCount = 0;
    int secondaryCount = 0;
    int matchTotal = 0;
    bool stoppedAtLimit = false;
    std::vector<ExportedDataFile> dataFiles;  ///< every data file searched, in order
};

/// The match records of a run's log lines, in log order. Any thread.
std::vector<ExportedPair> PairsFromLogLines(const std::vector<std::string>& lines);

/// A header row and one row per pair: number, percentage, both images and
/// the data files they came from. RFC 4180 (CR LF, fields quoted where they
/// hold a comma, a quote or a line break). Any thread.
std::string PairsAsCsv(const std::vector<ExportedPair>& pairs);

/// A JSON object with the run's facts and an array "pairs". Any thread.
std::string PairsAsJson(const std::vector<ExportedPair>& pairs, const PairExportInfo& info);

/// One line per group of copies (GroupCopies over the pairs), its paths
/// separated by tabs, each line ending in LF. Nothing when a path holds a tab
/// or a line break, which this form cannot carry. Any thread.
std::optional<std::string> PairsAsGroups(const std::vector<ExportedPair>& pairs);

/// `bytes` as a quoted JSON string (see above for bytes that are not UTF-8).
std::string JsonString(std::string_view bytes);

/// `bytes` as one CSV field.
std::string CsvField(std::string_view bytes);
