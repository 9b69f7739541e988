#pragma once
// Building and saving the dups log: the result file of a find-dups run. Lines
// are kept without their line ends; every saved line ends in CR LF.

#include <ctime>
#include <string>
#include <vector>

class MatchList;

/// What the header of a run's log tells the reader.
struct LogHeaderInfo {
    int mode = 0;  ///< 0 within primary, 1 secondary against primary, 2 single image
    int dupsLimit = 1000;
    std::time_t startTime = 0;
    int primaryCount = 0;
    int secondaryCount = 0;
    std::string primarySourceNote;  ///< "; Source: ..." of the primary slot
    /// When not empty, written in place of primarySourceNote: the primary
    /// images come from several data files, and these lines name them.
    std::vector<std::string> primarySourceLines;
    std::string secondarySourceNote;
    int low = 980;  ///< band in tenths of a percent
    int high = 1000;
    int restriction = 0;
    int aspectTol = 0;
    int sizeTol = 0;
    int method = 0;
    bool adjustColor = false;
    int adjustAmount = 0;
    bool checkMirror = false;
    bool checkRotation = false;
};

/// Appends the header up to "-- Matches --" (the total and limit lines are
/// inserted at the end of the run). Any thread, on its own lines.
void WriteLogHeader(std::vector<std::string>& lines, const LogHeaderInfo& info);

/// Appends the five lines of match `matchNo` when it is within `dupsLimit`.
/// Any thread, on its own lines (likewise the three below).
void AddMatchRecord(std::vector<std::string>& lines, const std::string& percent, int matchNo,
                    int dupsLimit, const std::string& path1, const std::string& path2);

/// Inserts "; Terminated at matching pairs limit N." as the fourth line.
void InsertLimitLine(std::vector<std::string>& lines, int dupsLimit);

/// Inserts "; Pairs marked not duplicate left out: N" as the fourth line;
/// call it before InsertLimitLine so that it follows the limit line.
void InsertLeftOutLine(std::vector<std::string>& lines, int leftOut);

/// Inserts the total as the fourth line and appends the closing lines.
void WriteLogTrailer(std::vector<std::string>& lines, int total);

/// WriteLogTrailer, then SaveLogList to `path`; false when the file could not
/// be written. Any thread, on its own lines.
bool FinishLog(std::vector<std::string>& lines, int total, const std::string& path);

/// Writes the lines to `path` atomically, each with CR LF. False, with any old
/// file unchanged, when there are no lines, a line holds a CR or LF (a path
/// with one would split into lines that read as other pairs), or the file
/// cannot be written. Any thread.
bool SaveLogList(const std::string& path, const std::vector<std::string>& lines);

/// Writes "DUPS", the log view lines of `list` and "END" to `path` atomically.
/// False, with any old file unchanged, when the view is empty, a line holds a
/// CR or LF, or the file cannot be written. Any thread that owns `list`.
bool SaveLogView(const std::string& path, const MatchList& list);

enum class WriteBackResult {
    Written,
    ChangedOnDisk,  ///< the file is not the log the list was read from; nothing written
    Failed,         ///< as SaveLogView's false
};

/// Writes the list back over the log it was read from (the marks of removed
/// images, a new order), unless the file at `path` changed since it was read
/// (MatchList::logChangedOnDisk): then nothing is written, and the caller asks
/// the user. After writing, the list stands for the new file. Any thread that
/// owns `list`.
WriteBackResult WriteLogBack(const std::string& path, MatchList& list);
