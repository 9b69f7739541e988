#pragma once
// Image records made from real photographs for the benchmarks: random crops
// of the photos found on the machine, each reduced to a 10 x 10 thumbnail by
// a box average, with a spread of exposures as in a real collection.

#include <string>
#include <vector>

#include "image_record.h"

struct PhotoRecords {
    std::vector<ImageRecord> records;
    std::vector<std::string> paths;
    int photos = 0;  ///< photographs the crops came from (0: smooth random pictures)
};

/// `count` records; about one in a hundred is a near copy of an earlier one.
PhotoRecords MakePhotoRecords(int count);
