// The plugin update check: the service's list, the MD5 comparison, the downloads and the offer to install.

#include "kiv_http.h"
#include "kiv_pluginoptions.h"
#include "test_support.h"

namespace {

struct RecordingHttp : kiv_http { // records what is asked for; the test answers
    void httpRequest(kiv_httpparam param, bool& handled) override { handled = true, listRequests << param; }
    void downloadRequest(kiv_httpparam param) override { downloads << param; }
    QList<kiv_httpparam> listRequests, downloads;
};

QJsonObject file(const QString& path, const QByteArray& content)
{
    return {{"path", path}, {"url", "https://updates.example" + path},
            {"md5", QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex())}};
}

QJsonDocument reply(const QJsonArray& files) { return QJsonDocument(QJsonObject{{"ret", 200}, {"data", files}}); }

struct Updater {
    Updater() { sandbox.writeDefaults("[kiv.appversion]\nguid={CLIENT}\nappversion=5.1\n"); }
    QString local(const QString& path) const { return sandbox.appDir() + path; }
    // Runs a check answered with `document`; clicks `answer` in its first box and returns that box's text.
    QString check(const QJsonDocument& document, const QString& answer)
    {
        options.onUpdateAllPluginsScripts();
        QString text;
        kiv_test::clickInNextModal(answer, &text);
        emit http.sigGetUpdateSubfilesRep(document);
        return text;
    }
    // Answers the next download (failed when nothing was saved); with `answer`, returns the text of the box it clicks.
    QString done(const QByteArray& saved, const QString& answer = QString())
    {
        QString text;
        if (!answer.isEmpty())
            kiv_test::clickInNextModal(answer, &text);
        emit http.sigDownloadDoneRep(http.downloads.at(answered++), saved, saved.isEmpty() ? QString() : "saved");
        return text;
    }

    kiv_test::Sandbox sandbox;
    RecordingHttp http;
    kiv_pluginoptions options{&http, nullptr};
    QSignalSpy finished{&options, &kiv_pluginoptions::sigDownloadPluginScriptFinish};
    int answered = 0;
};

} // namespace

class tst_plugin_update : public QObject
{
    Q_OBJECT
private slots:
    void checksDownloadsAndTheirFailures();
};

void tst_plugin_update::checksDownloadsAndTheirFailures()
{
    Updater u;
    // The list request carries the client's version; a check waits for the one before it to end.
    u.options.onUpdateAllPluginsScripts();
    QCOMPARE(u.check(QJsonDocument(), "ok"), QStringLiteral("Get plugins failed, please try a later!"));
    QCOMPARE(u.http.listRequests.size(), 1);
    const kiv_httpparam request = u.http.listRequests.first();
    QCOMPARE(QStringList({request.guid(), request.listType(), request.version()}), QStringList({"{CLIENT}", "2", "5.1"}));
    // All files matching their MD5: a re-install is offered, accepted, declined; then a new file's download declined.
    kiv_test::writeFile(u.local("/plugins/3dsmax/plugcfg/kiv_plugin.ini"), "config");
    const QJsonDocument same = reply({file("/plugins/3dsmax/plugcfg/kiv_plugin.ini", "config")});
    QCOMPARE(u.check(same, "ok"), QStringLiteral("The plugins are already the latest! Re-install that?"));
    u.check(same, "cancel");
    QCOMPARE(u.finished.count(), 1);
    QCOMPARE(u.check(reply({file("/plugins/3dsmax/plugcfg/kiv_plugin.ini", "new")}), "cancel"),
             QStringLiteral("New plugins detected, please make sure to close 3ds Max applications!"));

    // A differing and two missing files are downloaded into their folders; a matching one is not.
    kiv_test::writeFile(u.local("/plugins/3dsmax/3ds Max 2018/en/TMQ_Rendering_2018.gup"), "old");
    u.check(reply({file("/plugins/3dsmax/3ds Max 2018/en/TMQ_Rendering_2018.gup", "new"), file("/plugins/3dsmax/plugcfg/kiv_plugin.ini", "config"),
                   file("/plugins/3dsmax/7-Zip/7z.dll", "7z"), file("/plugins/c/three.ms", "3")}), "ok");
    QCOMPARE(u.http.downloads.size(), 3);
    QCOMPARE(u.http.downloads.at(0).url(), QStringLiteral("https://updates.example/plugins/3dsmax/3ds Max 2018/en/TMQ_Rendering_2018.gup"));
    QCOMPARE(u.http.downloads.at(0).getDestPath(), u.local("/plugins/3dsmax/3ds Max 2018/en"));
    // One of three fails: the final box names its folder and still offers the install.
    u.done("new");
    u.done(QByteArray());
    QCOMPARE(u.done("3", "ok"), QStringLiteral("Download finish!\n%1 download failed! please try a later!").arg(u.local("/plugins/3dsmax/7-Zip")));
    // The next batch counts afresh, without the old failures.
    u.check(reply({file("/plugins/d/four.ms", "4")}), "ok");
    QCOMPARE(u.done("4", "cancel"), QStringLiteral("Download plugins finish! Install now?"));
    QCOMPARE(u.finished.count(), 2);
    // Paths out of the application folder are refused and reported; only the good one is fetched.
    u.check(reply({file("/../../outside/evil.dll", "x"), file("/C:/Windows/evil.dll", "x"),
                   file("//server/share/evil.dll", "x"), file("\\..\\..\\evil.dll", "x"), file("/plugins/ok.dll", "x")}), "ok");
    QCOMPARE(u.http.downloads.size(), 5);
    QVERIFY(u.done("x", "ok").contains("outside"));
}

QTEST_MAIN(tst_plugin_update)
#include "tst_plugin_update.moc"
