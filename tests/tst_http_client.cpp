// The host's HTTP client against a small HTTP/1.1 server of the test's own on 127.0.0.1.

#include "kiv_http.h"
#include "test_support.h"

#include <QtNetwork>

// An HTTP answer; announcing more than it holds, it is cut short as the server hangs up.
static QByteArray answer(int status, const QByteArray& body, int announced = -1)
{
    const QByteArray length = QByteArray::number(announced < 0 ? body.size() : announced);
    return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Length: " + length + "\r\nConnection: close\r\n\r\n" + body;
}

// The update base address: gives every request the same reply (none when empty), then hangs up.
struct TestServer : QTcpServer {
    TestServer()
    {
        listen(QHostAddress::LocalHost);
        qputenv("KIV_UPDATE_URL", base().toUtf8());
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket, request = QByteArray()]() mutable {
                    request += socket->readAll();
                    if (!request.contains("\r\n\r\n"))
                        return;
                    requests << QUrl(QString::fromLatin1(request.split(' ').value(1)));
                    if (!reply.isEmpty() && socket->write(reply))
                        socket->disconnectFromHost();
                });
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }

    QByteArray reply;
    QList<QUrl> requests;
};

struct ImpatientHttp : kiv_http { ImpatientHttp() { setTransferTimeout(1000); } }; // real clients stall far longer

static const QByteArray kList(R"({"ret":200,"data":[{"path":"/plugins/a.gup","url":"files/a.gup","md5":"0123"}]})");
static const QByteArray kGup("\x00gup\xff\r\n", 7);

class tst_http_client : public QObject
{
    Q_OBJECT

private slots:
    void answersEachRequestOnceLater_data();
    void answersEachRequestOnceLater();
};

void tst_http_client::answersEachRequestOnceLater_data()
{
    QTest::addColumn<QString>("url"); // empty: the plugin list; "@" stands for the server's address
    QTest::addColumn<QByteArray>("reply"); // to every request
    QTest::addColumn<int>("requestsSeen"); // a list request without one: no base address is set
    QTest::addColumn<QByteArray>("result"); // the list, or the file saved; empty: none
    QTest::newRow("list") << QString() << answer(200, kList) << 1 << kList;
    QTest::newRow("list without a base address") << QString() << QByteArray() << 0 << QByteArray();
    QTest::newRow("list: server error with a JSON body") << QString() << answer(500, kList) << 1 << QByteArray();
    QTest::newRow("list: no answer") << QString() << QByteArray() << 1 << QByteArray();
    QTest::newRow("download relative to the base") << "files/a.gup" << answer(200, kGup) << 1 << kGup;
    QTest::newRow("download over an old file") << "@/files/a.gup" << answer(200, kGup) << 1 << kGup;
    QTest::newRow("download: body cut short") << "@/files/a.gup" << answer(200, "new", 30) << 1 << QByteArray();
    QTest::newRow("download: local file address") << "file:///etc/hostname" << QByteArray() << 0 << QByteArray();
    // "..\..\a.gup" once decoded: a way out of the folder on Windows.
    QTest::newRow("download: name climbing out") << "@/files/..%5C..%5Ca.gup" << QByteArray() << 0 << QByteArray();
}

void tst_http_client::answersEachRequestOnceLater()
{
    QFETCH(QString, url);
    QFETCH(QByteArray, reply);
    QFETCH(int, requestsSeen);
    QFETCH(QByteArray, result);
    TestServer server;
    server.reply = reply;
    if (url.isEmpty() && requestsSeen == 0)
        qunsetenv("KIV_UPDATE_URL");
    // An old file in place for an absolute address, else a folder not there yet.
    QTemporaryDir app;
    const QString folder = app.filePath(QStringLiteral("deep/plug ins"));
    if (url.startsWith('@'))
        kiv_test::writeFile(folder + "/a.gup", "the good old file");
    const QByteArray before = kiv_test::readFile(folder + "/a.gup");

    ImpatientHttp http;
    QSignalSpy lists(&http, &kiv_http::sigGetUpdateSubfilesRep);
    QSignalSpy downloads(&http, &kiv_http::sigDownloadDoneRep);
    kiv_httpparam param;
    bool handled = requestsSeen == 0;
    if (url.isEmpty()) { // with characters that a careless query would split or turn into spaces
        param.getUpdateSubfiles(QStringLiteral("{a+b c&d=e}"), "2", "3.1.0", QVariant());
        http.httpRequest(param, handled);
    } else {
        param.downloadFile(url.replace(QLatin1Char('@'), server.base()), folder, QVariant());
        http.downloadRequest(param);
    }
    QCOMPARE(lists.count() + downloads.count(), 0); // never inside the call
    QTRY_VERIFY_WITH_TIMEOUT(lists.count() + downloads.count() > 0, 10000);
    QTest::qWait(0);
    QCOMPARE(lists.count() + downloads.count(), 1);
    QCOMPARE(server.requests.size(), requestsSeen);
    if (url.isEmpty()) {
        QCOMPARE(lists.first().first().value<QJsonDocument>(), QJsonDocument::fromJson(result));
        QCOMPARE(handled, requestsSeen > 0);
        // The query decoded as web servers decode forms, where "+" is a space.
        const QUrlQuery query(server.requests.value(0).query(QUrl::FullyEncoded).replace('+', QLatin1String("%20")));
        const QList<QPair<QString, QString>> items{{"guid", "{a+b c&d=e}"}, {"type", "2"}, {"version", "3.1.0"}};
        QCOMPARE(query.queryItems(QUrl::FullyDecoded), (requestsSeen ? items : QList<QPair<QString, QString>>()));
        return;
    }
    // The file saved, or the old one kept with nothing beside it; nothing escaped.
    const auto entries = [](const QString& path) { return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };
    QCOMPARE(downloads.first().last().toString(), result.isEmpty() ? QString() : folder + "/a.gup");
    QCOMPARE(kiv_test::readFile(folder + "/a.gup"), result.isEmpty() ? before : result);
    QCOMPARE(entries(folder), result.isEmpty() && before.isEmpty() ? QStringList() : QStringList{"a.gup"});
    QCOMPARE(entries(app.path()), entries(folder).isEmpty() ? QStringList() : QStringList{"deep"});
}

QTEST_GUILESS_MAIN(tst_http_client)
#include "tst_http_client.moc"
