#include "kiv_http.h"

#include <QMetaObject>

kiv_http::kiv_http(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<kiv_httpparam>("kiv_httpparam");
}

kiv_http::~kiv_http() = default;

// No update service is wired in yet: every request fails, answered on the
// next turn of the event loop as a real network reply would be.
void kiv_http::httpRequest(kiv_httpparam param, bool& handled)
{
    Q_UNUSED(param)
    handled = false;
    QMetaObject::invokeMethod(this, [this] { emit sigGetUpdateSubfilesRep(QJsonDocument()); },
                              Qt::QueuedConnection);
}

void kiv_http::downloadRequest(kiv_httpparam param)
{
    QMetaObject::invokeMethod(
        this, [this, param] { emit sigDownloadDoneRep(param, QByteArray(), QString()); },
        Qt::QueuedConnection);
}
