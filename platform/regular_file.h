#pragma once
// Opening the files we read as data: a FIFO named by the user must not hang
// the reader, and a folder or device is no data file.

#include <cstdio>
#include <memory>
#include <string>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

/// Opens `path` for reading in binary mode when it is a regular file (links
/// followed); null for anything else or when it cannot be opened. Never blocks
/// on a FIFO. Any thread.
FilePtr OpenRegularFileForReading(const std::string& path);
