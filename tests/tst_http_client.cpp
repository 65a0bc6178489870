// The host's HTTP client against a small HTTP/1.1 server of the test's own
// on 127.0.0.1.

#include "kiv_http.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Route {
    int status = 200;
    QByteArray body;
    bool truncated = false; // announces more bytes than it sends, then hangs up
    bool stalled = false;   // never answers
};

// Answers each connection's first request by its path, then closes it.
class TestServer : public QObject
{
    Q_OBJECT
public:
    TestServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &TestServer::onConnection);
        m_server.listen(QHostAddress::LocalHost);
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

    QMap<QString, Route> routes;
    QList<QUrl> requests;

private:
    void onConnection()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void onData(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n") || requests.size() >= kMaxRequests)
            return;
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        buffer.clear();
        const QUrl target(QString::fromLatin1(requestLine.value(1)));
        requests << target;
        const auto route = routes.constFind(target.path());
        if (route == routes.constEnd()) {
            respond(socket, Route{404, "not here", false, false});
            return;
        }
        if (!route->stalled)
            respond(socket, *route);
    }

    static void respond(QTcpSocket* socket, const Route& route)
    {
        const int announced = route.truncated ? route.body.size() * 10 : route.body.size();
        socket->write("HTTP/1.1 " + QByteArray::number(route.status) + " X\r\nContent-Length: "
                      + QByteArray::number(announced) + "\r\nConnection: close\r\n\r\n" + route.body);
        socket->disconnectFromHost();
    }

    static const int kMaxRequests = 20;
    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};

// Reaches the stall limit, which real clients keep long.
class ImpatientHttp : public kiv_http
{
public:
    explicit ImpatientHttp(int milliseconds) { setTransferTimeout(milliseconds); }
};

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

kiv_httpparam download(const QString& url, const QString& folder)
{
    kiv_httpparam param;
    param.downloadFile(url, folder, QVariant());
    return param;
}

const QByteArray kList(R"({"ret":200,"data":[{"path":"/plugins/3dsmax/plugcfg/kiv_plugin.ini",)"
                       R"("url":"files/kiv_plugin.ini","md5":"0123456789abcdef0123456789abcdef"}]})");

} // namespace

class tst_http_client : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void pluginListIsAskedForAndParsed();
    void failedListRequestsAnswerWithAnEmptyDocument_data();
    void failedListRequestsAnswerWithAnEmptyDocument();
    void downloadsLandInTheirFolder();
    void failedDownloadsKeepOldFilesAndAnswerOnce_data();
    void failedDownloadsKeepOldFilesAndAnswerOnce();
    void aStalledRequestFails();
};

void tst_http_client::init()
{
    qunsetenv("KIV_UPDATE_URL");
}

void tst_http_client::cleanup()
{
    qunsetenv("KIV_UPDATE_URL");
}

void tst_http_client::pluginListIsAskedForAndParsed()
{
    TestServer server;
    server.routes.insert(QStringLiteral("/update/plugins"), Route{200, kList, false, false});
    qputenv("KIV_UPDATE_URL", (server.base() + QStringLiteral("/update")).toUtf8());

    kiv_http http;
    QSignalSpy answers(&http, &kiv_http::sigGetUpdateSubfilesRep);
    kiv_httpparam param;
    // Characters that a careless query would split or turn into spaces.
    param.getUpdateSubfiles(QStringLiteral("{a+b c&d=e}"), QStringLiteral("2"), QStringLiteral("3.1.0"), QVariant());
    bool handled = false;
    http.httpRequest(param, handled);
    QVERIFY(handled);
    QCOMPARE(answers.count(), 0); // never inside the call

    QVERIFY(answers.wait(10000));
    QCOMPARE(answers.count(), 1);
    QCOMPARE(answers.first().first().value<QJsonDocument>(), QJsonDocument::fromJson(kList));
    QCOMPARE(server.requests.size(), 1);
    const QUrl asked = server.requests.first();
    QCOMPARE(asked.path(), QStringLiteral("/update/plugins"));
    // Decoded as web servers decode forms, where "+" is a space.
    QMap<QString, QString> items;
    for (const QString& item : asked.query(QUrl::FullyEncoded).split(QLatin1Char('&'))) {
        const QStringList pair = item.split(QLatin1Char('='));
        QCOMPARE(pair.size(), 2);
        items.insert(pair.at(0), QUrl::fromPercentEncoding(pair.at(1).toLatin1().replace('+', ' ')));
    }
    QCOMPARE(items.value(QStringLiteral("guid")), QStringLiteral("{a+b c&d=e}"));
    QCOMPARE(items.value(QStringLiteral("type")), QStringLiteral("2"));
    QCOMPARE(items.value(QStringLiteral("version")), QStringLiteral("3.1.0"));
}

void tst_http_client::failedListRequestsAnswerWithAnEmptyDocument_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("requestsSeen");
    QTest::newRow("no base address") << QStringLiteral("unset") << 0;
    QTest::newRow("base address not http") << QStringLiteral("ftp") << 0;
    QTest::newRow("not found") << QStringLiteral("404") << 1;
    QTest::newRow("server error with a JSON body") << QStringLiteral("500") << 1;
    QTest::newRow("body is not JSON") << QStringLiteral("html") << 1;
    QTest::newRow("connection refused") << QStringLiteral("refused") << 0;
}

void tst_http_client::failedListRequestsAnswerWithAnEmptyDocument()
{
    QFETCH(QString, situation);
    QFETCH(int, requestsSeen);

    TestServer server;
    server.routes.insert(QStringLiteral("/plugins"), Route{200, "<html>busy</html>", false, false});
    if (situation == QLatin1String("500"))
        server.routes.insert(QStringLiteral("/plugins"), Route{500, kList, false, false});
    if (situation == QLatin1String("404"))
        server.routes.clear();
    if (situation == QLatin1String("ftp"))
        qputenv("KIV_UPDATE_URL", "ftp://127.0.0.1/");
    else if (situation == QLatin1String("refused")) {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        qputenv("KIV_UPDATE_URL", QByteArray("http://127.0.0.1:") + QByteArray::number(closed.serverPort()));
    } else if (situation != QLatin1String("unset"))
        qputenv("KIV_UPDATE_URL", server.base().toUtf8());

    kiv_http http;
    QSignalSpy answers(&http, &kiv_http::sigGetUpdateSubfilesRep);
    kiv_httpparam param;
    param.getUpdateSubfiles(QStringLiteral("g"), QStringLiteral("2"), QStringLiteral("1"), QVariant());
    bool handled = true;
    http.httpRequest(param, handled);
    QCOMPARE(handled, situation != QLatin1String("unset") && situation != QLatin1String("ftp"));
    QCOMPARE(answers.count(), 0);
    QVERIFY(answers.wait(10000));
    QTest::qWait(0);
    QCOMPARE(answers.count(), 1);
    QVERIFY(answers.first().first().value<QJsonDocument>().isNull());
    QCOMPARE(server.requests.size(), requestsSeen);
}

void tst_http_client::downloadsLandInTheirFolder()
{
    TestServer server;
    const QByteArray gup("\x00gup\xff\r\n", 7);
    server.routes.insert(QStringLiteral("/update/files/TMQ_Rendering_2018.gup"), Route{200, gup, false, false});
    server.routes.insert(QStringLiteral("/elsewhere/kiv_plugin.ini"), Route{200, "port=9999\n", false, false});
    qputenv("KIV_UPDATE_URL", (server.base() + QStringLiteral("/update/")).toUtf8());

    QTemporaryDir app;
    QVERIFY(app.isValid());
    const QString newFolder = app.filePath(QStringLiteral("plugins/3dsmax/3ds Max 2018/en"));
    const QString oldFolder = app.filePath(QStringLiteral("plugins/3dsmax/plugcfg"));
    writeFile(oldFolder + QStringLiteral("/kiv_plugin.ini"), "port=1\nstale=yes, and longer than the new one\n");

    kiv_http http;
    QSignalSpy answers(&http, &kiv_http::sigDownloadDoneRep);
    // Both at once: relative to the base, and absolute.
    http.downloadRequest(download(QStringLiteral("files/TMQ_Rendering_2018.gup"), newFolder));
    http.downloadRequest(download(server.base() + QStringLiteral("/elsewhere/kiv_plugin.ini"), oldFolder));
    QTRY_COMPARE_WITH_TIMEOUT(answers.count(), 2, 10000);
    QTest::qWait(0);
    QCOMPARE(answers.count(), 2);

    QMap<QString, QList<QVariant>> byFolder;
    for (const QList<QVariant>& answer : qAsConst(answers))
        byFolder.insert(answer.at(0).value<kiv_httpparam>().getDestPath(), answer);
    QVERIFY(byFolder.contains(newFolder) && byFolder.contains(oldFolder));

    const QString gupFile = newFolder + QStringLiteral("/TMQ_Rendering_2018.gup");
    QCOMPARE(byFolder[newFolder].at(2).toString(), gupFile);
    QCOMPARE(byFolder[newFolder].at(1).toByteArray(), gup);
    QCOMPARE(readFile(gupFile), gup);
    QCOMPARE(byFolder[oldFolder].at(2).toString(), oldFolder + QStringLiteral("/kiv_plugin.ini"));
    QCOMPARE(readFile(oldFolder + QStringLiteral("/kiv_plugin.ini")), QByteArray("port=9999\n"));
    // Nothing but the downloaded files: no temporary leftovers.
    QCOMPARE(QDir(newFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
    QCOMPARE(QDir(oldFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
}

void tst_http_client::failedDownloadsKeepOldFilesAndAnswerOnce_data()
{
    QTest::addColumn<QString>("url"); // "@" stands for the server's address
    QTest::addColumn<bool>("baseSet");
    QTest::addColumn<QString>("fileName"); // an old file of that name is in place
    QTest::addColumn<int>("requestsSeen");

    QTest::newRow("not found") << QStringLiteral("files/a.gup") << true << QStringLiteral("a.gup") << 1;
    QTest::newRow("server error") << QStringLiteral("@/broken/a.gup") << true << QStringLiteral("a.gup") << 1;
    QTest::newRow("body cut short") << QStringLiteral("@/short/a.gup") << false << QStringLiteral("a.gup") << 1;
    QTest::newRow("relative without a base") << QStringLiteral("files/a.gup") << false << QStringLiteral("a.gup")
                                             << 0;
    QTest::newRow("local file address") << QStringLiteral("file:///etc/hostname") << true
                                        << QStringLiteral("hostname") << 0;
    QTest::newRow("no file name") << QStringLiteral("@/files/") << true << QString() << 0;
    // "..\..\escaped.gup" once decoded: a way out of the folder on Windows.
    QTest::newRow("name climbing out") << QStringLiteral("@/files/..%5C..%5Cescaped.gup") << true << QString()
                                       << 0;
}

void tst_http_client::failedDownloadsKeepOldFilesAndAnswerOnce()
{
    QFETCH(QString, url);
    QFETCH(bool, baseSet);
    QFETCH(QString, fileName);
    QFETCH(int, requestsSeen);

    TestServer server;
    server.routes.insert(QStringLiteral("/broken/a.gup"), Route{500, "new content", false, false});
    server.routes.insert(QStringLiteral("/short/a.gup"), Route{200, "new content", true, false});
    if (baseSet)
        qputenv("KIV_UPDATE_URL", server.base().toUtf8());
    url.replace(QLatin1Char('@'), server.base());

    QTemporaryDir app;
    QVERIFY(app.isValid());
    const QString folder = app.filePath(QStringLiteral("deep/plugins"));
    const QString existing = fileName.isEmpty() ? QString() : QDir(folder).filePath(fileName);
    if (!existing.isEmpty())
        writeFile(existing, "the good old file");
    const QStringList before = QDir(app.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    kiv_http http;
    QSignalSpy answers(&http, &kiv_http::sigDownloadDoneRep);
    http.downloadRequest(download(url, folder));
    QCOMPARE(answers.count(), 0);
    QVERIFY(answers.wait(10000));
    QTest::qWait(0);
    QCOMPARE(answers.count(), 1);
    QCOMPARE(answers.first().at(0).value<kiv_httpparam>().url(), url);
    QCOMPARE(answers.first().at(0).value<kiv_httpparam>().getDestPath(), folder);
    QVERIFY(answers.first().at(1).toByteArray().isEmpty());
    QVERIFY(answers.first().at(2).toString().isNull());
    QCOMPARE(server.requests.size(), requestsSeen);

    if (!existing.isEmpty())
        QCOMPARE(readFile(existing), QByteArray("the good old file"));
    QCOMPARE(QDir(app.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    // No temporary leftovers, and no folder made for a download that failed.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(),
             existing.isEmpty() ? 0 : 1);
}

void tst_http_client::aStalledRequestFails()
{
    TestServer server;
    server.routes.insert(QStringLiteral("/plugins"), Route{200, {}, false, true});
    server.routes.insert(QStringLiteral("/files/a.gup"), Route{200, {}, false, true});
    qputenv("KIV_UPDATE_URL", server.base().toUtf8());
    QTemporaryDir app;
    QVERIFY(app.isValid());

    ImpatientHttp http(300);
    QSignalSpy lists(&http, &kiv_http::sigGetUpdateSubfilesRep);
    QSignalSpy downloads(&http, &kiv_http::sigDownloadDoneRep);
    kiv_httpparam param;
    param.getUpdateSubfiles(QStringLiteral("g"), QStringLiteral("2"), QStringLiteral("1"), QVariant());
    bool handled = false;
    http.httpRequest(param, handled);
    http.downloadRequest(download(QStringLiteral("files/a.gup"), app.path()));

    QTRY_VERIFY_WITH_TIMEOUT(lists.count() == 1 && downloads.count() == 1, 10000);
    QVERIFY(lists.first().first().value<QJsonDocument>().isNull());
    QVERIFY(downloads.first().at(2).toString().isEmpty());
}

QTEST_GUILESS_MAIN(tst_http_client)
#include "tst_http_client.moc"
