#include "path_compare.h"

#include <string_view>

std::string PathKey(const std::string& path) {
#ifdef _WIN32
    std::string key = path;
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return key;
#else
    return path;
#endif
}

bool SamePath(const std::string& a, const std::string& b) {
#ifdef _WIN32
    return a.size() == b.size() && PathKey(a) == PathKey(b);
#else
    return a == b;
#endif
}

std::string NormalizePath(const std::string& path) {
#ifdef _WIN32
    return path;
#else
    if (path.empty()) {
        return path;
    }
    std::string out;
    out.reserve(path.size());
    const bool absolute = path.front() == '/';
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string_view step(path.data() + start, end - start);
        if (!step.empty() && step != ".") {
            if (!out.empty() || absolute) {
                out.push_back('/');
            }
            out.append(step);
        }
        start = end + 1;
    }
    const bool folder = path.back() == '/' || path.ends_with("/.") || path == ".";
    if (out.empty()) {
        return absolute ? "/" : "./";
    }
    if (folder) {
        out.push_back('/');
    }
    return out;
#endif
}

bool HasLineBreak(const std::string& path) {
    return path.find_first_of("\r\n") != std::string::npos;
}

std::string PathForDisplay(const std::string& path) {
    std::string shown;
    shown.reserve(path.size());
    for (const char c : path) {
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else {
            shown += c;
        }
    }
    return shown;
}
