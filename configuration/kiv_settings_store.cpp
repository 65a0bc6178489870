#include "kiv_settings_store.h"

#include "kiv_app_paths.h"
#include "kiv_panel_log.h"
#include "kiv_types.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {

// A user name becomes part of a file name. One that could leave the "conf"
// folder, or that Windows cannot store, must never reach the file system.
bool IsUsableUserName(const QString& name)
{
    static const QString forbidden = QStringLiteral("/\\<>:\"|?*");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || forbidden.contains(c))
            return false;
    }
    return true;
}

// A refused name goes into the host's log: control characters and the like
// are spelled out so that they cannot break its lines.
QString LoggableText(const QString& text)
{
    const auto hex = [](uint code, int digits) {
        return QString::number(code, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
    };
    QString result;
    for (const uint code : text.toUcs4()) {
        // Line and paragraph separators count as printable, yet end a line.
        const bool breaksLine = code == 0x2028 || code == 0x2029;
        if (QChar::isPrint(code) && !breaksLine)
            result += QString::fromUcs4(&code, 1);
        else if (code < 0x100)
            result += QStringLiteral("\\x") + hex(code, 2);
        else if (QChar::requiresSurrogates(code))
            result += QStringLiteral("\\u") + hex(QChar::highSurrogate(code), 4) + QStringLiteral("\\u")
                      + hex(QChar::lowSurrogate(code), 4);
        else
            result += QStringLiteral("\\u") + hex(code, 4);
    }
    return result;
}

QString InstallLocationKey(const QString& guid)
{
    return QStringLiteral("%1/installlocation").arg(guid);
}

} // namespace

kiv_settings_store::kiv_settings_store(Logger log)
    : m_log(std::move(log))
{
}

kiv_settings_store::~kiv_settings_store() = default;

void kiv_settings_store::OpenDefaults()
{
    m_defaults.reset(new QSettings(kiv_app_paths::defaultSettingsFile(), QSettings::IniFormat));
}

void kiv_settings_store::ReadDefaultsOnce(const std::function<void(QSettings&)>& read) const
{
    QSettings settings(kiv_app_paths::defaultSettingsFile(), QSettings::IniFormat);
    read(settings);
}

QVariant kiv_settings_store::FreshDefault(const QString& key, const QVariant& fallback)
{
    if (!m_defaults)
        return fallback;
    m_defaults->sync();
    return m_defaults->value(key, fallback);
}

void kiv_settings_store::WriteDefaultNow(const QString& key, const QVariant& value)
{
    if (!m_defaults)
        return;
    m_defaults->setValue(key, value);
    m_defaults->sync();
}

kiv_settings_store::UserFile kiv_settings_store::OpenUser(const QString& userName, const QString& userId)
{
    if (userName.isEmpty()) {
        KIV_LOG(KIV_LOG_INFO, QStringLiteral("not have current user "));
        // A partial refresh of the same user keeps that user's file; any
        // other login must not read or write it.
        if (!m_user)
            return UserFile::None;
        if (!userId.isEmpty() && userId == m_userId)
            return UserFile::Kept;
        Release();
        return UserFile::Released;
    }
    if (!IsUsableUserName(userName)) {
        Release();
        KIV_LOG(KIV_LOG_ERROR, QStringLiteral("invalid user name ") + LoggableText(userName));
        return UserFile::Released;
    }

    const QString userFolder = kiv_types::userAppPath();
    const QString path = userFolder + QStringLiteral("/conf/kiv_%1.ini").arg(userName);
    if (!QFileInfo::exists(path)) {
        QDir().mkpath(userFolder + QStringLiteral("/conf"));
        // A failed copy is not fatal: the file is then created by the first write.
        QFile::copy(kiv_app_paths::userTemplateFile(), path);
    }
    m_user.reset(new QSettings(path, QSettings::IniFormat));
    m_userId = userId;
    return UserFile::Opened;
}

void kiv_settings_store::Release()
{
    m_user.reset();
    m_userId.clear();
}

QString kiv_settings_store::UserFileName() const
{
    return m_user ? m_user->fileName() : QString();
}

void kiv_settings_store::Reopen()
{
    const QString path = m_user->fileName();
    m_user.reset();
    m_user.reset(new QSettings(path, QSettings::IniFormat));
}

void kiv_settings_store::PrepareWrite()
{
    // A QSettings keeps its first error for good: one met before this write
    // (a read the file refused, a malformed file) would hide or fake this
    // write's own result.
    if (m_user && m_user->status() != QSettings::NoError)
        Reopen();
}

bool kiv_settings_store::Flush()
{
    if (!m_user)
        return true;
    m_user->sync();
    // A malformed but writable file reads as FormatError, which is no failed
    // save; and since that first error is kept, a file that cannot be
    // written is also asked for directly.
    if (m_user->status() != QSettings::AccessError && m_user->isWritable())
        return true;
    KIV_LOG(KIV_LOG_ERROR, QStringLiteral("user settings file %1 could not be written").arg(m_user->fileName()));
    // A fresh object lets the next write tell whether it got through.
    Reopen();
    return false;
}

bool kiv_settings_store::WriteNow(const QString& key, const QVariant& value)
{
    return WriteNow({{key, value}});
}

bool kiv_settings_store::WriteNow(const QList<QPair<QString, QVariant>>& values)
{
    if (!m_user)
        return true;
    PrepareWrite();
    for (const auto& [key, value] : values)
        m_user->setValue(key, value);
    return Flush();
}

void kiv_settings_store::BeginRenderPathLoad()
{
    m_renderPaths.clear();
    m_renderPathFileExists = QFile::exists(kiv_app_paths::renderPathFile());
}

QString kiv_settings_store::RenderPath(const QString& guid)
{
    auto known = m_renderPaths.constFind(guid);
    if (known == m_renderPaths.cend())
        known = m_renderPaths.insert(guid, kiv_types::getValue(InstallLocationKey(guid), kiv_app_paths::renderPathFile()));
    return *known;
}

void kiv_settings_store::StoreRenderPath(const QString& guid, const QString& folder)
{
    if (RenderPath(guid) != folder || !m_renderPathFileExists)
        SetRenderPath(guid, folder);
}

void kiv_settings_store::SetRenderPath(const QString& guid, const QString& folder)
{
    kiv_types::setValue(InstallLocationKey(guid), folder, kiv_app_paths::renderPathFile());
    m_renderPaths.insert(guid, folder);
    m_renderPathFileExists = true;
}

QString kiv_settings_store::HostValue(const QString& key) const
{
    return kiv_types::getValue(key, kiv_app_paths::defaultSettingsFile());
}

void kiv_settings_store::SetHostValue(const QString& key, const QString& value)
{
    kiv_types::setValue(key, value, kiv_app_paths::defaultSettingsFile());
}

QStringList kiv_settings_store::HostValues(const QString& key) const
{
    return kiv_types::getValues(key, kiv_app_paths::defaultSettingsFile());
}
