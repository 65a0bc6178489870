#include "copy_paths.h"

#include <QDir>
#include <QFileInfo>

namespace kiv_copy_paths {

namespace {

#ifdef Q_OS_WIN
const Qt::CaseSensitivity kPathCase = Qt::CaseInsensitive;
#else
const Qt::CaseSensitivity kPathCase = Qt::CaseSensitive;
#endif

} // namespace

QString resolvedPath(const QString& path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString rest;
    while (!QFileInfo::exists(existing)) {
        const int slash = existing.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return QDir::cleanPath(path);
        // A root keeps its slash: "C:" alone names that drive's current
        // folder, not the drive.
        const int keep = QDir(existing.left(slash + 1)).isRoot() ? slash + 1 : slash;
        if (keep == existing.size())
            return QDir::cleanPath(path);
        rest = QLatin1Char('/') + existing.mid(slash + 1) + rest;
        existing.truncate(keep);
    }
    return QDir::cleanPath(QFileInfo(existing).canonicalFilePath() + rest);
}

bool isSameOrInside(const QString& path, const QString& folder)
{
    if (path.compare(folder, kPathCase) == 0)
        return true;
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    return path.startsWith(prefix, kPathCase);
}

} // namespace kiv_copy_paths
