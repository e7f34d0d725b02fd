#include "BoundedFileRead.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    [[nodiscard]] int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<QByteArray> readBoundedFile(const QString& path, qint64 maxBytes) {
    const QByteArray encoded = QFile::encodeName(path);
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
    const FileDescriptor fd(
        ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0)
        return std::nullopt;

    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxBytes)
        return std::nullopt;

    QByteArray data;
    data.resize(static_cast<qsizetype>(status.st_size));
    qsizetype filled = 0;
    while (filled < data.size()) {
        const ssize_t got =
            ::read(fd.get(), data.data() + filled, static_cast<size_t>(data.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break; // the file shrank while being read
        filled += got;
    }
    data.truncate(filled);
    return data;
}
