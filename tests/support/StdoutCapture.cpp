#include "StdoutCapture.h"

#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

StdoutCapture::StdoutCapture(std::FILE* stream)
    : m_stream(stream) {
    std::fflush(m_stream);
    char pattern[] = "/tmp/quorlin-stdout-XXXXXX";
    m_fileFd = mkstemp(pattern);
    if (m_fileFd < 0)
        return;
    unlink(pattern);
    m_savedFd = dup(fileno(m_stream));
    dup2(m_fileFd, fileno(m_stream));
}

StdoutCapture::~StdoutCapture() {
    std::fflush(m_stream);
    if (m_savedFd >= 0) {
        dup2(m_savedFd, fileno(m_stream));
        close(m_savedFd);
    }
    if (m_fileFd >= 0)
        close(m_fileFd);
}

QStringList StdoutCapture::lines() const {
    std::fflush(m_stream);
    QFile file;
    if (!file.open(m_fileFd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) || !file.seek(0))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}
