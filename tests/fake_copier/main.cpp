// Stands in for the copier under its own name: it copies nothing, but tells
// the test how it was started and behaves as the test asks, through
// variables of the environment it inherits:
//   KIV_FAKE_COPIER_RECORD   appends one JSON line: its pid, working folder,
//                            arguments and the texts of the parameter file
//   KIV_FAKE_COPIER_RESULT   written as is into the result file the parameter
//                            file names; unset: no result file
//   KIV_FAKE_COPIER_RELEASE  hangs until this file exists (a minute at most,
//                            so that none is left behind by a failed test)
#include <QtCore>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments().mid(1);

    QStringList params;
    QFile file(arguments.value(0));
    if (arguments.size() == 1 && file.open(QIODevice::ReadOnly)) {
        QDataStream in(&file);
        QString source, destination, result;
        in >> source >> destination >> result;
        if (in.status() == QDataStream::Ok)
            params = QStringList{source, destination, result};
        file.close(); // before any hang: Windows removes no file that is open
    }

    const QString record = qEnvironmentVariable("KIV_FAKE_COPIER_RECORD");
    QFile out(record);
    if (!record.isEmpty() && out.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QJsonObject run{{"pid", QCoreApplication::applicationPid()},
                              {"cwd", QDir::currentPath()},
                              {"args", QJsonArray::fromStringList(arguments)},
                              {"params", QJsonArray::fromStringList(params)}};
        out.write(QJsonDocument(run).toJson(QJsonDocument::Compact) + '\n');
        out.close(); // before any hang
    }

    const QString release = qEnvironmentVariable("KIV_FAKE_COPIER_RELEASE");
    const QDeadlineTimer limit(60000);
    while (!release.isEmpty() && !QFile::exists(release) && !limit.hasExpired())
        QThread::msleep(20);

    QFile result(params.value(2));
    if (params.size() == 3 && qEnvironmentVariableIsSet("KIV_FAKE_COPIER_RESULT")
        && result.open(QIODevice::WriteOnly | QIODevice::Truncate))
        result.write(qgetenv("KIV_FAKE_COPIER_RESULT"));
    return 0;
}
