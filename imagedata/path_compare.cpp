#include "path_compare.h"

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
