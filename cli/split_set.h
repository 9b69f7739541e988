#pragma once
// A source of more than 32,000 images is written as a split set: NAME.dup
// with the first 32,000 images in walk order, then NAME-2.dup, NAME-3.dup...
// Each part is a normal data file of the whole source's description.

#include <string>
#include <vector>

/// The path of part `part` (1 is the first) of the set whose first part is
/// `first`: "pics.dup", "pics-2.dup", "pics-3.dup"...; a name that does not
/// end in ".dup" (any letter case) gets "-2", "-3"... at its end. Any thread.
std::string SplitPartPath(const std::string& first, int part);

/// How many parts `images` images need, at most `perPart` each (at least
/// one part). Any thread.
int SplitPartCount(long long images, int perPart);
