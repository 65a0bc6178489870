#pragma once

#include "kiv_configuration_widget.h"
#include "kiv_general_types.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QTranslator>

#include <QVariant>

#include <functional>
#include <memory>

class QWidget;

namespace kiv_test {

// A private application folder (with data/kiv_default.ini and the user
// template) and a private user folder, both inside one folder of the test's
// own, published through KIV_APP_DIR and KIV_USER_APP_PATH for as long as the
// object lives.
class Sandbox
{
public:
    Sandbox();
    ~Sandbox();

    QString appDir() const;
    QString userDir() const;
    QString defaultFile() const;
    QString templateFile() const;
    QString userFile(const QString& userName) const;

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
void writeFile(const QString& path, const QByteArray& bytes);

// Records every sigLog line of a panel.
struct LogLine {
    int loggerId;
    int level;
    QString message;
    QString source;
    int line;
};

class LogRecorder
{
public:
    explicit LogRecorder(kiv_configuration_widget* panel);
    QList<LogLine> lines;
    bool contains(int level, const QString& messageStart) const;
};

kiv_general_types::AuthSet::LoginInfo sampleUser(const QString& userName = QStringLiteral("artist"),
                                                 const QString& userId = QStringLiteral("1001"));

// One user's panel ("artist", id "1001") on a private application and user
// folder, with the given user file (none: created from an empty template)
// and default settings file.
class PanelFixture
{
public:
    explicit PanelFixture(const QByteArray& userFile = QByteArray(), const QByteArray& defaults = QByteArray());
    virtual ~PanelFixture();

    QString file() const;
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

    // Opens the panel, lets `edit` work on it, then presses Apply (or the
    // close button) unless `edit` closed the panel itself. Apply is only
    // enabled by a change, so with nothing edited a box is toggled twice.
    void open(const std::function<void()>& edit, bool apply, bool versionPage = false);

    Sandbox sandbox;
    kiv_general_types::GeneralSet general;
    std::unique_ptr<kiv_configuration_widget> panel;
};

// Installed for as long as it lives, it wraps every text translated in
// `context` as "<text>", so that a re-labelled widget is easy to spot.
class MarkingTranslator : public QTranslator
{
public:
    explicit MarkingTranslator(const char* context);
    QString translate(const char* context, const char* sourceText, const char*, int) const override;
    bool isEmpty() const override { return false; }

private:
    QByteArray m_context;
};

// Calls `answer` with the next modal widget that becomes active, from a timer
// of its own so that it runs inside that widget's modal loop. If none shows
// up within the timeout, any modal widget is rejected so that no test hangs,
// and `answered` (when given) stays false.
void whenModal(std::function<void(QWidget*)> answer, bool* answered = nullptr, int timeoutMs = 5000);

// Clicks the button named `buttonName` of the next modal widget.
void clickInNextModal(const QString& buttonName, QString* seenText = nullptr, bool* answered = nullptr);

} // namespace kiv_test
