// Stands in for the copier under its own name: it copies nothing, but tells
// the test how it was started and behaves as the test asks, through
// variables of the environment it inherits:
//   KIV_FAKE_COPIER_RECORD   appends one JSON line: its pid, working folder,
//                            arguments and the texts of the parameter file
//   KIV_FAKE_COPIER_RESULT   written as is into the result file the parameter
//                            file names; unset: no result file
//   KIV_FAKE_COPIER_RELEASE  hangs until this file exists (a minute at most,
//                            so that none is left behind by a failed test)
#include <QByteArray>
#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QStringList params;
    if (arguments.size() == 1) {
        QFile file(arguments.first());
        if (file.open(QIODevice::ReadOnly)) {
            QDataStream in(&file);
            QString source, destination, result;
            in >> source >> destination >> result;
            if (in.status() == QDataStream::Ok)
                params = QStringList{source, destination, result};
        }
    }

    const QString record = qEnvironmentVariable("KIV_FAKE_COPIER_RECORD");
    if (!record.isEmpty()) {
        const QJsonObject run{{"pid", QCoreApplication::applicationPid()},
                              {"cwd", QDir::currentPath()},
                              {"args", QJsonArray::fromStringList(arguments)},
                              {"params", QJsonArray::fromStringList(params)}};
        QFile out(record);
        if (out.open(QIODevice::WriteOnly | QIODevice::Append))
            out.write(QJsonDocument(run).toJson(QJsonDocument::Compact) + '\n');
    }

    const QString release = qEnvironmentVariable("KIV_FAKE_COPIER_RELEASE");
    if (!release.isEmpty()) {
        const QDeadlineTimer limit(60000);
        while (!QFile::exists(release) && !limit.hasExpired())
            QThread::msleep(20);
    }

    if (params.size() == 3 && qEnvironmentVariableIsSet("KIV_FAKE_COPIER_RESULT")) {
        QFile result(params.at(2));
        if (result.open(QIODevice::WriteOnly | QIODevice::Truncate))
            result.write(qgetenv("KIV_FAKE_COPIER_RESULT"));
    }
    return 0;
}
