// The host's HTTP client against a small HTTP/1.1 server of the test's own
// on 127.0.0.1.

#include "kiv_http.h"
#include "test_support.h"

#include <QtNetwork>

namespace {

struct Route {
    int status = 200; // 0: never answers
    QByteArray body;
    bool truncated = false; // announces more bytes than it sends, then hangs up
};

// Answers each connection's request by its path (404 when unknown), then closes it.
struct TestServer : QTcpServer {
    TestServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket, request = QByteArray()]() mutable {
                    request += socket->readAll();
                    if (!request.contains("\r\n\r\n"))
                        return;
                    requests << QUrl(QString::fromLatin1(request.split(' ').value(1)));
                    const Route route = routes.value(requests.last().path(), Route{404, "not here", false});
                    if (route.status == 0)
                        return;
                    const int announced = route.truncated ? route.body.size() * 10 : route.body.size();
                    socket->write("HTTP/1.1 " + QByteArray::number(route.status) + " X\r\nContent-Length: "
                                  + QByteArray::number(announced) + "\r\nConnection: close\r\n\r\n" + route.body);
                    socket->disconnectFromHost();
                });
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

    QMap<QString, Route> routes;
    QList<QUrl> requests;
};

struct ImpatientHttp : kiv_http { // reaches the stall limit, which real clients keep long
    ImpatientHttp() { setTransferTimeout(1000); }
};

kiv_httpparam listRequest(const QString& guid)
{
    kiv_httpparam param;
    param.getUpdateSubfiles(guid, "2", "3.1.0", QVariant());
    return param;
}

kiv_httpparam download(const QString& url, const QString& folder)
{
    kiv_httpparam param;
    param.downloadFile(url, folder, QVariant());
    return param;
}

// An old file in place, in a folder of its own.
QString oldFile(const QString& folder, const QString& name)
{
    kiv_test::writeFile(folder + '/' + name, "the good old file");
    return folder + '/' + name;
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

const QByteArray kList(R"({"ret":200,"data":[{"path":"/plugins/3dsmax/plugcfg/kiv_plugin.ini",)"
                       R"("url":"files/kiv_plugin.ini","md5":"0123456789abcdef0123456789abcdef"}]})");

} // namespace

Q_DECLARE_METATYPE(Route)

class tst_http_client : public QObject
{
    Q_OBJECT

private slots:
    void init() { qunsetenv("KIV_UPDATE_URL"); }
    void listAndDownloadsFromTheService();
    void failedRequestsAnswerOnceWithNothing_data();
    void failedRequestsAnswerOnceWithNothing();
};

void tst_http_client::listAndDownloadsFromTheService()
{
    TestServer server;
    const QByteArray gup("\x00gup\xff\r\n", 7);
    server.routes = {{"/update/plugins", {200, kList, false}},
                     {"/update/files/TMQ_Rendering_2018.gup", {200, gup, false}},
                     {"/elsewhere/kiv_plugin.ini", {200, "port=9999\n", false}}};
    qputenv("KIV_UPDATE_URL", (server.base() + QStringLiteral("/update")).toUtf8());
    kiv_http http;
    QSignalSpy lists(&http, &kiv_http::sigGetUpdateSubfilesRep);
    QSignalSpy downloads(&http, &kiv_http::sigDownloadDoneRep);
    bool handled = false;
    // Characters that a careless query would split or turn into spaces.
    http.httpRequest(listRequest(QStringLiteral("{a+b c&d=e}")), handled);
    QVERIFY(handled && lists.wait(10000));
    QCOMPARE(lists.first().first().value<QJsonDocument>(), QJsonDocument::fromJson(kList));
    // The query decoded as web servers decode forms, where "+" is a space.
    const QUrlQuery query(server.requests.first().query(QUrl::FullyEncoded).replace('+', QLatin1String("%20")));
    QCOMPARE(query.queryItems(QUrl::FullyDecoded),
             (QList<QPair<QString, QString>>{{"guid", "{a+b c&d=e}"}, {"type", "2"}, {"version", "3.1.0"}}));

    // Three at once: relative to the base into a missing folder, absolute
    // over an old file, and one the server does not have.
    QTemporaryDir app;
    const QString missing = app.filePath(QStringLiteral("3ds Max 2018/en"));
    const QString replaced = oldFile(app.filePath("plugcfg"), QStringLiteral("kiv_plugin.ini"));
    const QString kept = oldFile(app.filePath("scripts"), QStringLiteral("gone.ms"));
    http.downloadRequest(download(QStringLiteral("files/TMQ_Rendering_2018.gup"), missing));
    http.downloadRequest(download(server.base() + "/elsewhere/kiv_plugin.ini", app.filePath("plugcfg")));
    http.downloadRequest(download(QStringLiteral("files/gone.ms"), app.filePath("scripts")));
    QTRY_COMPARE_WITH_TIMEOUT(downloads.count(), 3, 10000);
    QMap<QString, QString> saved; // the saved file by folder, empty for a failure
    for (const QList<QVariant>& answer : qAsConst(downloads))
        saved.insert(answer.at(0).value<kiv_httpparam>().getDestPath(), answer.at(2).toString());
    QCOMPARE(saved, (QMap<QString, QString>{{missing, missing + "/TMQ_Rendering_2018.gup"},
                                            {app.filePath("plugcfg"), replaced}, {app.filePath("scripts"), ""}}));
    QCOMPARE(kiv_test::readFile(saved.value(missing)), gup);
    QCOMPARE(kiv_test::readFile(replaced), QByteArray("port=9999\n"));
    QCOMPARE(kiv_test::readFile(kept), QByteArray("the good old file"));
    for (const QString& folder : saved.keys())
        QCOMPARE(entries(folder).size(), 1); // no temporary leftovers
}

void tst_http_client::failedRequestsAnswerOnceWithNothing_data()
{
    QTest::addColumn<QString>("url"); // empty: the plugin list; "@" stands for the server's address
    QTest::addColumn<bool>("baseSet");
    QTest::addColumn<Route>("route"); // for every path
    QTest::addColumn<int>("requestsSeen");
    QTest::newRow("list without a base address") << QString() << false << Route() << 0;
    QTest::newRow("list: server error with a JSON body") << QString() << true << Route{500, kList, false} << 1;
    QTest::newRow("list: no answer") << QString() << true << Route{0, {}, false} << 1;
    QTest::newRow("download: body cut short") << QStringLiteral("@/files/a") << true << Route{200, "new", true} << 1;
    QTest::newRow("download: local file address") << QStringLiteral("file:///etc/hostname") << true << Route() << 0;
    // "..\..\a.gup" once decoded: a way out of the folder on Windows.
    QTest::newRow("download: name climbing out") << QStringLiteral("@/files/..%5C..%5Ca.gup") << true << Route() << 0;
}

void tst_http_client::failedRequestsAnswerOnceWithNothing()
{
    QFETCH(QString, url);
    QFETCH(bool, baseSet);
    QFETCH(Route, route);
    QFETCH(int, requestsSeen);
    TestServer server;
    server.routes = {{QStringLiteral("/plugins"), route}, {QStringLiteral("/files/a"), route}};
    if (baseSet)
        qputenv("KIV_UPDATE_URL", server.base().toUtf8());
    QTemporaryDir app;
    const QString folder = app.filePath(QStringLiteral("deep/plugins"));
    const QString old = oldFile(folder, QStringLiteral("a.gup"));

    ImpatientHttp http;
    QSignalSpy lists(&http, &kiv_http::sigGetUpdateSubfilesRep);
    QSignalSpy downloads(&http, &kiv_http::sigDownloadDoneRep);
    bool handled = !baseSet;
    if (url.isEmpty())
        http.httpRequest(listRequest(QStringLiteral("g")), handled);
    else
        http.downloadRequest(download(url.replace(QLatin1Char('@'), server.base()), folder));
    QCOMPARE(lists.count() + downloads.count(), 0); // never inside the call
    QTRY_VERIFY_WITH_TIMEOUT(lists.count() + downloads.count() > 0, 10000);
    QTest::qWait(0);
    QCOMPARE(lists.count() + downloads.count(), 1);
    QCOMPARE(server.requests.size(), requestsSeen);
    // An empty document, or an empty saved file name.
    const QVariant answer = (url.isEmpty() ? lists : downloads).first().last();
    QVERIFY(url.isEmpty() ? answer.value<QJsonDocument>().isNull() : answer.toString().isEmpty());
    if (url.isEmpty())
        QCOMPARE(handled, baseSet);
    // The old file is kept, nothing is left beside it, nothing escaped.
    QCOMPARE(kiv_test::readFile(old), QByteArray("the good old file"));
    QCOMPARE(entries(folder), QStringList{"a.gup"});
    QCOMPARE(entries(app.path()), QStringList{"deep"});
}

QTEST_GUILESS_MAIN(tst_http_client)
#include "tst_http_client.moc"
