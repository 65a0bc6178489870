// kiv_settings_demo: opens the settings panel the way the host client does,
// on the sample files in <application folder>/data.
//
// Environment:
//   KIV_USER_APP_PATH  per-user folder (default: <application folder>/demo-user)
//   KIV_DEMO_OUTPUT    where screenshots and signals.log go
//                      (default: <application folder>/demo-output)
// Without a display the panel is rendered offscreen, every page is saved as
// a PNG and the demo exits on its own.

#include "demo_host.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    const QDir appDir(QCoreApplication::applicationDirPath());

    // Keep the demo user's files beside the demo, away from a real client's.
    if (qEnvironmentVariableIsEmpty("KIV_USER_APP_PATH"))
        qputenv("KIV_USER_APP_PATH", QFile::encodeName(appDir.filePath(QStringLiteral("demo-user"))));

    QString outputDir = qEnvironmentVariable("KIV_DEMO_OUTPUT");
    if (outputDir.isEmpty())
        outputDir = appDir.filePath(QStringLiteral("demo-output"));
    outputDir = QDir(outputDir).absolutePath();
    if (!QDir().mkpath(outputDir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outputDir));
        return 1;
    }

    const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");

    DemoHost host(outputDir);
    host.Run(offscreen);

    if (offscreen) {
        QTextStream out(stdout);
        out << "Screenshots: " << outputDir << Qt::endl;
        for (const QString& file : host.Screenshots())
            out << "  " << file << Qt::endl;
        out << "Signal log: " << host.SignalLogPath() << Qt::endl;
    }
    return 0;
}
