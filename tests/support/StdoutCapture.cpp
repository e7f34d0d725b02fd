#include "StdoutCapture.h"

#include <QFile>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

StdoutCapture::StdoutCapture() {
    std::fflush(stdout);
    char pattern[] = "/tmp/quorlin-stdout-XXXXXX";
    m_fileFd = mkstemp(pattern);
    if (m_fileFd < 0)
        return;
    unlink(pattern);
    m_savedFd = dup(STDOUT_FILENO);
    dup2(m_fileFd, STDOUT_FILENO);
}

StdoutCapture::~StdoutCapture() {
    std::fflush(stdout);
    if (m_savedFd >= 0) {
        dup2(m_savedFd, STDOUT_FILENO);
        close(m_savedFd);
    }
    if (m_fileFd >= 0)
        close(m_fileFd);
}

QStringList StdoutCapture::lines() const {
    std::fflush(stdout);
    QFile file;
    if (!file.open(m_fileFd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle) || !file.seek(0))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}
