// The plugin update check: the service's list, the MD5 comparison, the
// downloads and the offer to install, with the HTTP client answering from
// the test.

#include "kiv_http.h"
#include "kiv_pluginoptions.h"
#include "test_support.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Records what the plugin manager asks for; the test answers.
class RecordingHttp : public kiv_http
{
public:
    void httpRequest(kiv_httpparam param, bool& handled) override
    {
        handled = true;
        listRequests << param;
    }
    void downloadRequest(kiv_httpparam param) override { downloads << param; }

    QList<kiv_httpparam> listRequests;
    QList<kiv_httpparam> downloads;
};

// Writes a file, creating its folder.
void put(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    kiv_test::writeFile(path, bytes);
}

QString md5(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

QJsonObject file(const QString& path, const QString& hash)
{
    return {{"path", path}, {"url", "https://updates.example" + path}, {"md5", hash}};
}

QJsonDocument reply(const QJsonArray& files, int ret = 200)
{
    return QJsonDocument(QJsonObject{{"ret", ret}, {"data", files}});
}

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
    void pathsOutsideTheApplicationFolderAreRefused();
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

    // Each check below is only sent if the one before ended, and cleared the busy flag.
    // No "ret" at all reads as nothing to update, not as an error.
    u.statusSpy.clear();
    QCOMPARE(u.check(QJsonDocument(QJsonObject{{"data", QJsonArray()}}), "ok"),
             QStringLiteral("The current plugins version are already the latest version!"));
    QCOMPARE(u.status(), QStringList({"The plugins are already the latest!", QString()}));
    // Every file matching its MD5: a re-install is offered, accepted, then declined.
    put(u.local("/plugins/3dsmax/plugcfg/kiv_plugin.ini"), "config");
    const QJsonDocument same = reply({file("/plugins/3dsmax/plugcfg/kiv_plugin.ini", md5("config"))});
    QCOMPARE(u.check(same, "ok"), QStringLiteral("The plugins are already the latest! Re-install that?"));
    QCOMPARE(u.finished.count(), 1);
    u.statusSpy.clear();
    u.check(same, "cancel");
    QCOMPARE(u.finished.count(), 1);
    QCOMPARE(u.status(), QStringList({QString()}));
    // A differing file, the download declined.
    QCOMPARE(u.check(reply({file("/plugins/3dsmax/plugcfg/kiv_plugin.ini", md5("new"))}), "cancel"),
             QStringLiteral("New plugins detected, please make sure to close 3ds Max applications!"));
    u.options.onUpdateAllPluginsScripts();
    QCOMPARE(u.http.listRequests.size(), 6);
    QVERIFY(u.http.downloads.isEmpty());
}

void tst_plugin_update::downloadsAndTheirFailures()
{
    // A differing and two missing files are downloaded into their folders; a matching one is not.
    Updater u;
    put(u.local("/plugins/3dsmax/3ds Max 2018/en/TMQ_Rendering_2018.gup"), "old");
    put(u.local("/plugins/3dsmax/same.txt"), "");
    u.check(reply({file("/plugins/3dsmax/3ds Max 2018/en/TMQ_Rendering_2018.gup", md5("new")),
                   file("/plugins/3dsmax/same.txt", md5("")), file("/plugins/3dsmax/7-Zip/7z.dll", md5("7z")),
                   file("/plugins/c/three.ms", md5("3"))}),
            "ok");
    QCOMPARE(u.http.downloads.size(), 3);
    QCOMPARE(u.http.downloads.at(0).url(),
             QStringLiteral("https://updates.example/plugins/3dsmax/3ds Max 2018/en/TMQ_Rendering_2018.gup"));
    QCOMPARE(u.http.downloads.at(0).getDestPath(), u.local("/plugins/3dsmax/3ds Max 2018/en"));
    QCOMPARE(u.http.downloads.at(1).getDestPath(), u.local("/plugins/3dsmax/7-Zip"));

    // One of three fails: the final box names its folder and still offers the install.
    QString done;
    kiv_test::clickInNextModal("ok", &done);
    emit u.http.sigDownloadDoneRep(u.http.downloads.at(0), "new", "saved");
    emit u.http.sigDownloadDoneRep(u.http.downloads.at(1), QByteArray(), QString());
    QCOMPARE(u.finished.count(), 0);
    emit u.http.sigDownloadDoneRep(u.http.downloads.at(2), "3", "saved");
    QCOMPARE(done, QStringLiteral("Download finish!\n%1 download failed! please try a later!").arg(u.local("/plugins/3dsmax/7-Zip")));
    QCOMPARE(u.finished.count(), 1);

    // The end of the batch ends the check; the next batch counts afresh, without the old failures.
    u.http.downloads.clear();
    u.check(reply({file("/plugins/d/four.ms", md5("4"))}), "ok");
    QCOMPARE(u.http.listRequests.size(), 2);
    kiv_test::clickInNextModal("cancel", &done);
    emit u.http.sigDownloadDoneRep(u.http.downloads.at(0), "4", "saved");
    QCOMPARE(done, QStringLiteral("Download plugins finish! Install now?"));
    QCOMPARE(u.finished.count(), 1);
}

void tst_plugin_update::pathsOutsideTheApplicationFolderAreRefused()
{
    Updater u;
    QString text = u.check(reply({file("/../../outside/evil.dll", md5("x")), file("/C:/Windows/evil.dll", md5("x")),
                                  file("//server/share/evil.dll", md5("x")), file("\\..\\..\\evil.dll", md5("x"))}),
                           "ok");
    // Nothing started: the failure box comes at once, each refusal logged at level 300.
    QVERIFY(u.http.downloads.isEmpty());
    QVERIFY(text.startsWith(QStringLiteral("Download finish!\n")) && text.contains(QStringLiteral("outside")));
    QCOMPARE(u.log.count(QStringLiteral("300")), 4);
    QCOMPARE(u.finished.count(), 1);

    // A refused path beside a good one: only the good one is fetched, the refusal still reported.
    u.check(reply({file("/../escape.dll", md5("x")), file("/plugins/ok.dll", md5("x"))}), "ok");
    QCOMPARE(u.http.downloads.size(), 1);
    kiv_test::clickInNextModal("ok", &text);
    emit u.http.sigDownloadDoneRep(u.http.downloads.at(0), "x", "saved");
    QVERIFY(text.startsWith(QStringLiteral("Download finish!\n")));
}

QTEST_MAIN(tst_plugin_update)
#include "tst_plugin_update.moc"
