// Stands in for the speed test tool under its own name: it writes its
// arguments, one a line, into the file KIV_FAKE_SPEEDTEST_RECORD names,
// whole or not at all, and exits.
#include <QFile>
#include <QString>

int main(int argc, char* argv[])
{
    const QString record = qEnvironmentVariable("KIV_FAKE_SPEEDTEST_RECORD");
    if (record.isEmpty())
        return 1;
    QByteArray lines;
    for (int i = 1; i < argc; ++i)
        lines += QByteArray(argv[i]) + '\n';
    QFile part(record + QStringLiteral(".part"));
    if (!part.open(QIODevice::WriteOnly | QIODevice::Truncate) || part.write(lines) != lines.size())
        return 1;
    part.close();
    QFile::remove(record);
    return part.rename(record) ? 0 : 1;
}
