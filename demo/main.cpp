// kiv_settings_demo: opens the settings panel the way the host client does,
// on a fresh copy of the sample files shipped beside it.
//
//   kiv_settings_demo [--language zh_CN] [--screenshots] [--no-skin]
//
// Environment:
//   KIV_USER_APP_PATH  per-user folder (default: <application folder>/demo-user)
//   KIV_DEMO_OUTPUT    where screenshots and signals.log go
//                      (default: <application folder>/demo-output)
//   QT_SCALE_FACTOR    the scale of the screenshots (1 when unset)
// Without a display, or with --screenshots, every page is saved as a PNG in
// English and in Chinese and the demo exits on its own. On a display the
// panel stays open, with a small window that switches the language live.

#include "demo_host.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QDirIterator>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

// The panel writes into its application folder (the render path file, the
// plugin keys of the default settings): each run works on its own copy of
// the shipped folders, so that nothing of one run shows up in the next.
bool CopyTree(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (it.fileInfo().isDir() ? !QDir().mkpath(target) : !QFile::copy(source, target))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption language(QStringLiteral("language"), QStringLiteral("Start in this language (en, zh_CN)."),
                                      QStringLiteral("code"), QStringLiteral("en"));
    const QCommandLineOption screenshots(QStringLiteral("screenshots"),
                                         QStringLiteral("Save every page as a PNG and exit, on a display too."));
    const QCommandLineOption noSkin(QStringLiteral("no-skin"),
                                    QStringLiteral("Leave the panel without the demo's style sheet."));
    options.addOptions({language, screenshots, noSkin});
    options.process(app);

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

    QTemporaryDir runFolder;
    if (qEnvironmentVariableIsEmpty("KIV_APP_DIR")) {
        for (const char* folder : {"data", "skin", "plugins"}) {
            const QString name = QLatin1String(folder);
            if (!runFolder.isValid() || !CopyTree(appDir.filePath(name), runFolder.filePath(name))) {
                std::fprintf(stderr, "cannot copy the sample %s folder\n", folder);
                return 1;
            }
        }
        qputenv("KIV_APP_DIR", QFile::encodeName(runFolder.path()));
    }

    const bool offscreen = QGuiApplication::platformName() == QLatin1String("offscreen");
    const bool capture = offscreen || options.isSet(screenshots);

    DemoHost host(outputDir);
    host.SetLanguage(options.value(language));
    host.SetSkinned(!options.isSet(noSkin));
    host.Run(capture);

    if (capture) {
        QTextStream out(stdout);
        out << "Screenshots: " << outputDir << Qt::endl;
        for (const QString& file : host.Screenshots())
            out << "  " << file << Qt::endl;
        out << "Signal log: " << host.SignalLogPath() << Qt::endl;
    }
    return 0;
}
