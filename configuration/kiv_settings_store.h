#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>

class QSettings;

// The settings files the panel shares with the host. The default file and
// the current user's file are held open as QSettings; the render path file
// and the default file's host-kept keys go through the host's kiv_types,
// which the host may cache, so they are never opened here behind its back.
class kiv_settings_store
{
public:
    using Logger = std::function<void(int level, const QString& message, int line)>;

    explicit kiv_settings_store(Logger log);
    ~kiv_settings_store();
    kiv_settings_store(const kiv_settings_store&) = delete;
    kiv_settings_store& operator=(const kiv_settings_store&) = delete;

    // The default file, opened anew for every user load; null before.
    void OpenDefaults();
    QSettings* Defaults() const { return m_defaults.get(); }
    // Reads the default file through a short-lived object, as while the
    // panel is built and holds none.
    void ReadDefaultsOnce(const std::function<void(QSettings&)>& read) const;
    // A value of the held default file as the host may have changed it since.
    QVariant FreshDefault(const QString& key, const QVariant& fallback);
    // "kiv.general/autoinstallplugin" and the like: on disk when this returns.
    void WriteDefaultNow(const QString& key, const QVariant& value);

    enum class UserFile {
        Opened,   // the user's own file is open
        Kept,     // no name, but the same user: the open file stays
        Released, // the name is refused, or another user came without one
        None,     // no file, and none was open
    };
    // Opens the file of `userName` under the user folder, created from the
    // template when missing. Names that could leave the folder or that
    // Windows cannot store are refused.
    UserFile OpenUser(const QString& userName, const QString& userId);
    QSettings* User() const { return m_user.get(); }

    // Values written at once, outside Apply: on disk when this returns, or
    // the failure is logged. Memory only while no user file is open.
    bool WriteNow(const QString& key, const QVariant& value);
    // The same for a value that must travel with others written beside it.
    bool WriteNow(const QList<QPair<QString, QVariant>>& values);
    // Apply: PrepareWrite before its writes, Flush once after them.
    void PrepareWrite();
    bool Flush();
    QString UserFileName() const;

    // The render path file, through kiv_types. A load reads each version's
    // folder once: what it has read or written is remembered until the next
    // load begins.
    void BeginRenderPathLoad();
    QString RenderPath(const QString& guid);
    // Leaves the file alone when it already holds the folder.
    void StoreRenderPath(const QString& guid, const QString& folder);
    void SetRenderPath(const QString& guid, const QString& folder);
    QString HostValue(const QString& key) const;
    void SetHostValue(const QString& key, const QString& value);
    QStringList HostValues(const QString& key) const;

private:
    void WriteLog(int level, const QString& message, int line) const { m_log(level, message, line); }
    void Release();
    void Reopen();

    Logger m_log;
    std::unique_ptr<QSettings> m_defaults;
    std::unique_ptr<QSettings> m_user;
    // The id of the user whose file is open.
    QString m_userId;
    QHash<QString, QString> m_renderPaths;
    bool m_renderPathFileExists = false;
};
