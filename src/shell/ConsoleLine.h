#pragma once

#include <QString>

// Writes one diagnostic line to standard output and flushes it, so that a reader
// on a pipe sees each line as it happens.
void printConsoleLine(const QString& line);
