#pragma once

#include <QString>

#include <cstdio>

// Redirects the process's standard output (or `stream`) into a temporary file for
// the life of the object, so tests can check the exact diagnostic lines the
// program prints.
class StdoutCapture {
public:
    explicit StdoutCapture(std::FILE* stream = stdout);
    ~StdoutCapture();
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    // The lines written so far, with stdio flushed first.
    [[nodiscard]] QStringList lines() const;

private:
    std::FILE* m_stream;
    int m_savedFd = -1;
    int m_fileFd = -1;
};
