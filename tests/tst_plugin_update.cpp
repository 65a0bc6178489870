// The plugin update check: the service's list, the MD5 comparison, the
// downloads and the offer to install, with the HTTP client answering from
// the test.

#include "kiv_http.h"
#include "kiv_pluginoptions.h"
#include "test_support.h"

namespace {

// Records what the plugin manager asks for; the test answers.
struct RecordingHttp : kiv_http {
    void httpRequest(kiv_httpparam param, bool& handled) override { handled = true, listRequests << param; }
    void downloadRequest(kiv_httpparam param) override { downloads << param; }
    QList<kiv_httpparam> listRequests, downloads;
};

QJsonObject file(const QString& path, const QByteArray& content)
{
    const QString md5 = QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Md5).toHex());
    return {{"path", path}, {"url", "https://updates.example" + path}, {"md5", md5}};
}

QJsonDocument reply(const QJsonArray& files) { return QJsonDocument(QJsonObject{{"ret", 200}, {"data", files}}); }

struct Updater {
    Updater()
    {
        sandbox.writeDefaults("[kiv.appversion]\nguid={CLIENT}\nappversion=5.1\n");
        QObject::connect(&options, &kiv_pluginoptions::sigLog, &options,
                         [this](int level, QString, const wchar_t*, int) { log << QString::number(level); });
    }
    QString local(const QString& path) const { return sandbox.appDir() + path; }
    QStringList status() const
    {
        QStringList texts;
        for (const QList<QVariant>& arguments : statusSpy)
            texts << arguments.value(0).toString();
        return texts;
    }
    // Runs a check answered with `document`; clicks `answer` in its first box and returns that box's text.
    QString check(const QJsonDocument& document, const QString& answer)
    {
        options.onUpdateAllPluginsScripts();
        QString text;
        kiv_test::clickInNextModal(answer, &text);
        emit http.sigGetUpdateSubfilesRep(document);
        return text;
    }
    // Answers the download of `index`; with `answer`, a box is expected and its text returned.
    QString done(int index, const QByteArray& saved, const QString& answer = QString())
    {
        QString text;
        bool answered = answer.isEmpty();
        if (!answered)
            kiv_test::clickInNextModal(answer, &text, &answered);
        emit http.sigDownloadDoneRep(http.downloads.at(index), saved, saved.isEmpty() ? QString() : "saved");
        return answered ? text : QStringLiteral("no box");
    }

    kiv_test::Sandbox sandbox;
    RecordingHttp http;
    kiv_pluginoptions options{&http, nullptr};
    QSignalSpy statusSpy{&options, qOverload<QString>(&kiv_pluginoptions::sigUpdateStatus)};
    QSignalSpy finished{&options, &kiv_pluginoptions::sigDownloadPluginScriptFinish};
    QStringList log; // the level of every line
};

} // namespace

class tst_plugin_update : public QObject
{
    Q_OBJECT
private slots:
    void checksWithoutDownloadsAndTheBusyFlag();
    void downloadsAndTheirFailures();
};

void tst_plugin_update::checksWithoutDownloadsAndTheBusyFlag()
{
    Updater u;
    // The list request carries the client's version; a second check waits for the first to end.
    u.options.onUpdateAllPluginsScripts();
    QCOMPARE(u.check(QJsonDocument(), "ok"), QStringLiteral("Get plugins failed, please try a later!"));
    QCOMPARE(u.status(), QStringList({"Get plugins failed!", QString()}));
    QCOMPARE(u.http.listRequests.size(), 1);
    const kiv_httpparam request = u.http.listRequests.first();
    QCOMPARE(request.kind(), kiv_httpparam::Kind::UpdateSubfiles);
    QCOMPARE(QStringList({request.guid(), request.listType(), request.version()}), QStringList({"{CLIENT}", "2", "5.1"}));

    // Each check below is only sent if the one before ended. No "ret" reads as nothing to update.
    QCOMPARE(u.check(QJsonDocument(QJsonObject{{"data", QJsonArray()}}), "ok"),
             QStringLiteral("The current plugins version are already the latest version!"));
    // Every file matching its MD5: a re-install is offered, accepted, then declined.
    kiv_test::writeFile(u.local("/plugins/3dsmax/plugcfg/kiv_plugin.ini"), "config");
    const QJsonDocument same = reply({file("/plugins/3dsmax/plugcfg/kiv_plugin.ini", "config")});
    QCOMPARE(u.check(same, "ok"), QStringLiteral("The plugins are already the latest! Re-install that?"));
    u.check(same, "cancel");
    QCOMPARE(u.finished.count(), 1);
    // A differing file, the download declined.
    QCOMPARE(u.check(reply({file("/plugins/3dsmax/plugcfg/kiv_plugin.ini", "new")}), "cancel"),
             QStringLiteral("New plugins detected, please make sure to close 3ds Max applications!"));
    u.options.onUpdateAllPluginsScripts();
    QCOMPARE(u.http.listRequests.size(), 6);
    QVERIFY(u.http.downloads.isEmpty());
}

void tst_plugin_update::downloadsAndTheirFailures()
{
    // A differing and two missing files are downloaded into their folders; a matching one is not.
    Updater u;
    kiv_test::writeFile(u.local("/plugins/3dsmax/3ds Max 2018/en/TMQ_Rendering_2018.gup"), "old");
    kiv_test::writeFile(u.local("/plugins/3dsmax/same.txt"), "");
    u.check(reply({file("/plugins/3dsmax/3ds Max 2018/en/TMQ_Rendering_2018.gup", "new"), file("/plugins/3dsmax/same.txt", ""),
                   file("/plugins/3dsmax/7-Zip/7z.dll", "7z"), file("/plugins/c/three.ms", "3")}), "ok");
    QCOMPARE(u.http.downloads.size(), 3);
    QCOMPARE(u.http.downloads.at(0).url(),
             QStringLiteral("https://updates.example/plugins/3dsmax/3ds Max 2018/en/TMQ_Rendering_2018.gup"));
    QCOMPARE(u.http.downloads.at(0).getDestPath(), u.local("/plugins/3dsmax/3ds Max 2018/en"));

    // One of three fails: the final box names its folder and still offers the install.
    u.done(0, "new");
    u.done(1, QByteArray());
    QCOMPARE(u.finished.count(), 0);
    QCOMPARE(u.done(2, "3", "ok"), QStringLiteral("Download finish!\n%1 download failed! please try a later!").arg(u.local("/plugins/3dsmax/7-Zip")));
    QCOMPARE(u.finished.count(), 1);
    // The next batch counts afresh, without the old failures.
    u.http.downloads.clear();
    u.check(reply({file("/plugins/d/four.ms", "4")}), "ok");
    QCOMPARE(u.done(0, "4", "cancel"), QStringLiteral("Download plugins finish! Install now?"));
    QCOMPARE(u.finished.count(), 1);

    // Paths out of the application folder are refused and logged, nothing started for them;
    // beside a good one, only that one is fetched and the refusal still reported.
    u.http.downloads.clear();
    u.log.clear();
    u.check(reply({file("/../../outside/evil.dll", "x"), file("/C:/Windows/evil.dll", "x"),
                   file("//server/share/evil.dll", "x"), file("\\..\\..\\evil.dll", "x"), file("/plugins/ok.dll", "x")}), "ok");
    QCOMPARE(u.http.downloads.size(), 1);
    QCOMPARE(u.log.count("300"), 4);
    const QString text = u.done(0, "x", "ok");
    QVERIFY(text.startsWith("Download finish!\n") && text.contains("outside"));
}

QTEST_MAIN(tst_plugin_update)
#include "tst_plugin_update.moc"
