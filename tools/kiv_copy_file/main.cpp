// kiv_copy_file <parameter file>
//
// The parameter file holds three QStrings (QDataStream, default version): the
// source pattern "<absolute folder>/<name filter>" (normally "<folder>/*"), the
// destination folder and the result file's name. Entries of the folder that
// match the filter are copied into the destination folder, folders
// recursively; existing files are replaced. The exit code is written as
// decimal text into the result file, and the program exits with it.
//
// Exit codes:
//   0  success
//   1  no parameter file given, or it is missing, unreadable or incomplete
//      (then no result file is written, its name being unknown)
//   2  malformed parameters: the pattern is not "<absolute folder>/<filter>",
//      the destination is empty, or the destination lies inside the source
//   3  the source folder does not exist
//   4  the destination folder cannot be created
//   5  an entry could not be copied (the copy stops at the first failure)
//   6  the copy's outcome could not be written into the result file
//
// A file is written to a temporary file beside its target and renamed over it
// only when complete, so a failed copy never leaves a truncated file in place
// of a good one.

#include "copy_paths.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace {

using kiv_copy_paths::isSameOrInside;
using kiv_copy_paths::resolvedPath;

enum ExitCode {
    Success = 0,
    BadParameterFile = 1,
    BadParameters = 2,
    MissingSource = 3,
    DestinationNotCreated = 4,
    CopyFailed = 5,
    ResultNotWritten = 6,
};

void complain(const QString& message)
{
    std::fprintf(stderr, "kiv_copy_file: %s\n", qPrintable(message));
}

bool copyFile(const QFileInfo& source, const QString& target)
{
    QFile in(source.absoluteFilePath());
    if (!in.open(QIODevice::ReadOnly)) {
        complain(QStringLiteral("cannot read %1: %2").arg(in.fileName(), in.errorString()));
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
        complain(QStringLiteral("cannot write %1: %2").arg(target, out.errorString()));
        return false;
    }
    QByteArray buffer(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0) {
            complain(QStringLiteral("cannot read %1: %2").arg(in.fileName(), in.errorString()));
            out.cancelWriting();
            return false;
        }
        if (got == 0)
            break;
        // A short write records no error for commit() to report: never let
        // a truncated copy replace the good file.
        if (out.write(buffer.constData(), got) != got) {
            complain(QStringLiteral("cannot write %1: %2").arg(target, out.errorString()));
            out.cancelWriting();
            return false;
        }
    }
    if (!out.commit()) {
        complain(QStringLiteral("cannot write %1: %2").arg(target, out.errorString()));
        return false;
    }
    // Keep the source's permissions, but never make a target read-only: the
    // next update must be able to replace it.
    QFile::setPermissions(target, source.permissions() | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    return true;
}

// `visiting` holds the resolved folders on the way down, so that a symbolic
// link pointing back up cannot recurse forever.
bool copyEntries(const QString& sourceFolder, const QStringList& nameFilters, const QString& destination,
                 QSet<QString>& visiting)
{
    const QString resolved = resolvedPath(sourceFolder);
    if (visiting.contains(resolved)) {
        complain(QStringLiteral("%1 links back to a folder being copied").arg(sourceFolder));
        return false;
    }
    if (!QDir().mkpath(destination)) {
        complain(QStringLiteral("cannot create %1").arg(destination));
        return false;
    }
    visiting.insert(resolved);
    // System: lists dangling links too, which must fail rather than vanish.
    const QFileInfoList entries = QDir(sourceFolder).entryInfoList(
        nameFilters, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    bool ok = true;
    for (const QFileInfo& entry : entries) {
        const QString target = destination + QLatin1Char('/') + entry.fileName();
        if (entry.isDir())
            ok = copyEntries(entry.absoluteFilePath(), QStringList(), target, visiting);
        else if (entry.isFile())
            ok = copyFile(entry, target);
        else {
            complain(QStringLiteral("cannot copy %1: not a readable file or folder").arg(entry.absoluteFilePath()));
            ok = false;
        }
        if (!ok)
            break;
    }
    visiting.remove(resolved);
    return ok;
}

int copyAll(const QString& patternText, const QString& destinationText)
{
    const QString pattern = QDir::fromNativeSeparators(patternText);
    const int slash = pattern.lastIndexOf(QLatin1Char('/'));
    const QString filter = slash < 0 ? QString() : pattern.mid(slash + 1);
    if (slash < 0 || filter.isEmpty() || !QDir::isAbsolutePath(pattern) || destinationText.isEmpty()) {
        complain(QStringLiteral("malformed parameters \"%1\", \"%2\"").arg(pattern, destinationText));
        return BadParameters;
    }
    const QString sourceFolder = slash == 0 ? QStringLiteral("/") : pattern.left(slash);
    if (!QFileInfo(sourceFolder).isDir()) {
        complain(QStringLiteral("source folder %1 does not exist").arg(sourceFolder));
        return MissingSource;
    }
    const QString destination = QDir::cleanPath(QFileInfo(destinationText).absoluteFilePath());
    // Copying a folder into itself would feed on its own output.
    if (isSameOrInside(resolvedPath(destination), resolvedPath(sourceFolder))) {
        complain(QStringLiteral("destination %1 lies inside the source %2").arg(destination, sourceFolder));
        return BadParameters;
    }
    if (!QDir().mkpath(destination)) {
        complain(QStringLiteral("cannot create %1").arg(destination));
        return DestinationNotCreated;
    }
    QSet<QString> visiting;
    return copyEntries(sourceFolder, QStringList(filter), destination, visiting) ? Success : CopyFailed;
}

int finish(int code, const QString& resultFile)
{
    QFile out(resultFile);
    const QByteArray text = QByteArray::number(code);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) || out.write(text) != text.size()
        || !out.flush()) {
        complain(QStringLiteral("cannot write the result file %1: %2").arg(resultFile, out.errorString()));
        return ResultNotWritten;
    }
    return code;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        complain(QStringLiteral("usage: kiv_copy_file <parameter file>"));
        return BadParameterFile;
    }

    QFile paramFile(args.at(1));
    if (!paramFile.open(QIODevice::ReadOnly)) {
        complain(QStringLiteral("cannot read %1: %2").arg(paramFile.fileName(), paramFile.errorString()));
        return BadParameterFile;
    }
    QString pattern;
    QString destination;
    QString resultFile;
    QDataStream in(&paramFile);
    in >> pattern >> destination >> resultFile;
    if (in.status() != QDataStream::Ok || resultFile.isEmpty()) {
        // Without a completely read name there is no result file to write.
        complain(QStringLiteral("%1 does not hold three texts").arg(paramFile.fileName()));
        return BadParameterFile;
    }
    return finish(copyAll(pattern, destination), resultFile);
}
