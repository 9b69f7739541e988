#include "command_line.h"

std::string ListFromCommandLine(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        // "/" starts a path here, so only "-" marks a switch.
        if (!a.isEmpty() && !a.startsWith('-')) {
            return a.toStdString();
        }
    }
    return {};
}
