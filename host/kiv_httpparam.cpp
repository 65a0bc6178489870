#include "kiv_httpparam.h"

namespace {
const int registered = qRegisterMetaType<kiv_httpparam>("kiv_httpparam");
}

kiv_httpparam::kiv_httpparam() = default;
kiv_httpparam::kiv_httpparam(const kiv_httpparam& other) = default;
kiv_httpparam& kiv_httpparam::operator=(const kiv_httpparam& other) = default;
kiv_httpparam::~kiv_httpparam() = default;

void kiv_httpparam::getUpdateSubfiles(const QString& guid, const QString& type,
                                      const QString& version, const QVariant& extra)
{
    m_kind = Kind::UpdateSubfiles;
    m_guid = guid;
    m_type = type;
    m_version = version;
    m_extra = extra;
}

void kiv_httpparam::downloadFile(const QString& url, const QString& destPath, const QVariant& extra)
{
    m_kind = Kind::Download;
    m_url = url;
    m_destPath = destPath;
    m_extra = extra;
}

QString kiv_httpparam::getDestPath() const { return m_destPath; }
kiv_httpparam::Kind kiv_httpparam::kind() const { return m_kind; }
QString kiv_httpparam::url() const { return m_url; }
QString kiv_httpparam::guid() const { return m_guid; }
QString kiv_httpparam::listType() const { return m_type; }
QString kiv_httpparam::version() const { return m_version; }
QVariant kiv_httpparam::extra() const { return m_extra; }
