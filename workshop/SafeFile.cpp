// SPDX-License-Identifier: GPL-3.0-or-later
#include "workshop/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace morvanta::workshop {

namespace {

SaveOutcome failed(int error) {
    return {false, QString::fromLocal8Bit(std::strerror(error))};
}

bool writeAll(int descriptor, QByteArrayView bytes) {
    const char* at = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, at, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        at += written;
        left -= written;
    }
    return true;
}

}  // namespace

SaveOutcome saveFile(const QString& path, QByteArrayView bytes) {
    // The file a link names is the one replaced, so that the link stays a link.
    const QFileInfo info(path);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    struct stat status {};
    if (::stat(QFile::encodeName(target).constData(), &status) == 0 && !S_ISREG(status.st_mode)) {
        return {false, QCoreApplication::translate("SafeFile", "it is not a regular file")};
    }
    QByteArray temporary =
        QFile::encodeName(QFileInfo(target).absolutePath() + QStringLiteral("/.morvanta-XXXXXX"));
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        return failed(errno);
    }
    // Readable as any new file of the user's would be; mkstemp makes it private.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(descriptor, S_ISREG(status.st_mode) ? status.st_mode & 07777 : 0666 & ~mask);
    const bool written = writeAll(descriptor, bytes) && ::fsync(descriptor) == 0;
    const int error = errno;
    if (::close(descriptor) != 0 || !written) {
        const int reason = written ? errno : error;
        ::unlink(temporary.constData());
        return failed(reason);
    }
    if (::rename(temporary.constData(), QFile::encodeName(target).constData()) != 0) {
        const int reason = errno;
        ::unlink(temporary.constData());
        return failed(reason);
    }
    return {true, {}};
}

QString whyNotWritable(const QString& path) {
    const QByteArray file = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    // Each folder on the way, so that the one in the way (a plain file) is named by its error.
    for (qsizetype slash = file.indexOf('/', 1); slash > 0; slash = file.indexOf('/', slash + 1)) {
        if (::mkdir(file.left(slash).constData(), 0777) != 0 && errno != EEXIST) {
            return failed(errno).reason;
        }
    }
    const bool existed = ::access(file.constData(), F_OK) == 0;
    const int descriptor = ::open(file.constData(), O_WRONLY | O_APPEND | O_CREAT, 0666);
    if (descriptor < 0) {
        return failed(errno).reason;
    }
    ::close(descriptor);
    if (!existed) {
        ::unlink(file.constData());
    }
    return {};
}

}  // namespace morvanta::workshop
