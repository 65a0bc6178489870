#pragma once

#include "kiv_configuration_widget.h"
#include "kiv_general_types.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>

namespace kiv_test {

// A private application folder (app/data) and user folder in one temporary
// folder, published through KIV_APP_DIR and KIV_USER_APP_PATH while it lives.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();
    QString appDir() const { return m_root.path() + QStringLiteral("/app"); }
    QString userDir() const { return m_root.path() + QStringLiteral("/user"); }
    QString defaultFile() const { return appDir() + QStringLiteral("/data/kiv_default.ini"); }
    QString userFile(const QString& name) const { return userDir() + QStringLiteral("/conf/kiv_%1.ini").arg(name); }
    void writeDefaults(const QByteArray& ini) const;
    void writeTemplate(const QByteArray& ini) const;

private:
    QTemporaryDir m_root;
};

// The uninstall key of installed programs, the test's own for as long as it
// lives, published through KIV_UNINSTALL_REGISTRY: a registry key under
// HKEY_CURRENT_USER on Windows (removed afterwards), an INI file elsewhere.
class UninstallKey
{
public:
    UninstallKey();
    ~UninstallKey();
    // Replaces the key's contents with those of INI text, one group per subkey.
    void write(const QByteArray& ini) const;

private:
    QTemporaryDir m_folder;
    QString m_key;
};

QByteArray readFile(const QString& path);
// Creates the file's folder too.
void writeFile(const QString& path, const QByteArray& bytes);

struct LogLine {
    int loggerId, level;
    QString message, source;
    int line;
};

// Records every sigLog line of a panel.
struct LogRecorder {
    explicit LogRecorder(kiv_configuration_widget* panel);
    bool contains(int level, const QString& messageStart) const;
    QList<LogLine> lines;
};

kiv_general_types::AuthSet::LoginInfo sampleUser(const QString& userName = QStringLiteral("artist"),
                                                 const QString& userId = QStringLiteral("1001"));

// The panel of user "artist" (id "1001") on a sandbox, with the given user
// file (null: made from an empty template) and default file.
struct PanelFixture {
    explicit PanelFixture(const QByteArray& userFile = QByteArray(), const QByteArray& defaults = QByteArray());
    QString file() const { return sandbox.userFile(QStringLiteral("artist")); }
    // A value as a fresh reader of the user file sees it.
    QVariant stored(const QString& key) const;
    template <typename T>
    T* find(const char* name) const
    {
        T* widget = panel->findChild<T*>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    // Opens the panel, runs `edit`, then presses Apply (toggling a box twice
    // if nothing enabled it) or the close button, unless `edit` closed it.
    void open(const std::function<void()>& edit, bool apply, bool versionPage = false);

    Sandbox sandbox;
    kiv_general_types::GeneralSet general;
    std::unique_ptr<kiv_configuration_widget> panel;
};

// While it lives, every text translated in `context` reads "<text>".
class MarkingTranslator : public QTranslator
{
public:
    explicit MarkingTranslator(const char* context) : m_context(context) { QCoreApplication::installTranslator(this); }
    QString translate(const char* context, const char* text, const char*, int) const override
    {
        return m_context == context ? QStringLiteral("<%1>").arg(QString::fromUtf8(text)) : QString();
    }
    bool isEmpty() const override { return false; }

private:
    QByteArray m_context;
};

// Calls `answer` with the next active modal widget, from a timer so that it
// runs inside that widget's loop. After the timeout any modal dialog is
// rejected so that no test hangs, and `answered` stays false.
void whenModal(std::function<void(QWidget*)> answer, bool* answered = nullptr, int timeoutMs = 5000);
// Clicks the button named `buttonName` of the next modal widget (closes it when there is none).
void clickInNextModal(const QString& buttonName, QString* seenText = nullptr, bool* answered = nullptr);

} // namespace kiv_test
