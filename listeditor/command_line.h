#pragma once

#include <QStringList>
#include <string>

/// The list file named on the command line: the first argument after the
/// program's name that is not a switch ("-x"); empty when there is none.
/// Arguments arrive split already, so a quoted path with blanks is whole.
std::string ListFromCommandLine(const QStringList& arguments);
