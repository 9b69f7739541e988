#pragma once
// Folding the pairs of a match list into groups of copies: a picture with
// five copies is one group of six images instead of fifteen pairs.

#include <span>
#include <string>
#include <vector>

/// The connected sets of images linked by pairs.
struct CopyGroups {
    /// Each group's images in order of first appearance (image 1 before image
    /// 2 of a pair); groups in the order their first image appears.
    std::vector<std::vector<std::string>> groups;
    /// The group of each pair; -1 for a pair with a removed side.
    std::vector<int> pairGroup;
};

/// Groups the pairs (left[i], right[i]). A side starting with "Deleted" is a
/// removed image and links nothing. Paths compare as the file system does
/// (SamePath); each image is listed as it was first spelled. Any thread.
CopyGroups GroupCopies(std::span<const std::string> left, std::span<const std::string> right);
