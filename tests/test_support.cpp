#include "test_support.h"

#include "kiv_messagebox_dialog.h"

namespace kiv_test {

Sandbox::Sandbox()
{
    QDir().mkpath(appDir() + QStringLiteral("/data"));
    QDir().mkpath(userDir());
    qputenv("KIV_APP_DIR", appDir().toUtf8());
    qputenv("KIV_USER_APP_PATH", userDir().toUtf8());
}

Sandbox::~Sandbox()
{
    qunsetenv("KIV_APP_DIR");
    qunsetenv("KIV_USER_APP_PATH");
}

void Sandbox::writeDefaults(const QByteArray& ini) const { writeFile(defaultFile(), ini); }
void Sandbox::writeTemplate(const QByteArray& ini) const { writeFile(appDir() + QStringLiteral("/data/kiv_users.ini"), ini); }

UninstallKey::UninstallKey()
{
#ifdef Q_OS_WIN
    m_key = QStringLiteral("HKEY_CURRENT_USER\\Software\\kiv-test-%1\\Uninstall")
                .arg(QUuid::createUuid().toString(QUuid::WithoutBraces));
#else
    m_key = m_folder.filePath(QStringLiteral("uninstall.ini"));
#endif
    qputenv("KIV_UNINSTALL_REGISTRY", m_key.toUtf8());
}

UninstallKey::~UninstallKey()
{
    qunsetenv("KIV_UNINSTALL_REGISTRY");
#ifdef Q_OS_WIN
    QSettings software(QStringLiteral("HKEY_CURRENT_USER\\Software"), QSettings::NativeFormat);
    software.remove(m_key.section(QLatin1Char('\\'), 2, 2));
#endif
}

void UninstallKey::write(const QByteArray& ini) const
{
#ifdef Q_OS_WIN
    const QString source = m_folder.filePath(QStringLiteral("uninstall.ini"));
    writeFile(source, ini);
    const QSettings text(source, QSettings::IniFormat);
    QSettings key(m_key, QSettings::NativeFormat);
    key.clear();
    for (const QString& name : text.allKeys())
        key.setValue(name, text.value(name));
    key.sync();
#else
    writeFile(m_key, ini);
#endif
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

LogRecorder::LogRecorder(kiv_configuration_widget* panel)
{
    QObject::connect(panel, &kiv_configuration_widget::sigLog, panel,
                     [this](int id, int level, QString message, const wchar_t* source, int line) {
                         lines.append({id, level, message, source ? QString::fromWCharArray(source) : QString(), line});
                     });
}

bool LogRecorder::contains(int level, const QString& messageStart) const
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const LogLine& l) { return l.level == level && l.message.startsWith(messageStart); });
}

kiv_general_types::AuthSet::LoginInfo sampleUser(const QString& userName, const QString& userId)
{
    kiv_general_types::AuthSet::LoginInfo info;
    info.userId = userId;
    info.userName = userName;
    info.zftxServer = QStringLiteral("zftx.example.test");
    info.ftpServer = QStringLiteral("ftp.example.test");
    info.speedTestServer = QStringLiteral("speed.example.test");
    return info;
}

PanelFixture::PanelFixture(const QByteArray& userFile, const QByteArray& defaults)
{
    if (!defaults.isNull())
        sandbox.writeDefaults(defaults);
    sandbox.writeTemplate("[kiv.general]\n");
    if (!userFile.isNull())
        writeFile(file(), userFile);
    panel.reset(new kiv_configuration_widget(general, nullptr));
    panel->SetCurrentUserInfo(sampleUser());
}

QVariant PanelFixture::stored(const QString& key) const
{
    return QSettings(file(), QSettings::IniFormat).value(key);
}

void PanelFixture::open(const std::function<void()>& edit, bool apply, bool versionPage)
{
    bool answered = false;
    whenModal([this, edit, apply](QWidget*) {
        edit();
        if (!panel->isVisible())
            return;
        auto* applyButton = find<QPushButton>("btnApply");
        if (apply && !applyButton->isEnabled()) {
            find<QCheckBox>("SetArgument")->click();
            find<QCheckBox>("SetArgument")->click();
        }
        (apply ? applyButton : find<QPushButton>("btnClose"))->click();
        if (panel->isVisible()) {
            find<QPushButton>("btnClose")->click();
            QFAIL("the panel did not close");
        }
    }, &answered);
    panel->ShowConf(versionPage);
    QVERIFY(answered);
}

void whenModal(std::function<void(QWidget*)> answer, bool* answered, int timeoutMs)
{
    if (answered)
        *answered = false;
    auto* timer = new QTimer(qApp);
    const QDeadlineTimer deadline(timeoutMs);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            // From a fresh single shot: this slot is not re-entered while the answer runs a nested loop.
            QTimer::singleShot(0, [=] {
                if (answered)
                    *answered = true;
                answer(modal);
            });
        } else if (deadline.hasExpired()) {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
        } else {
            return;
        }
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}

void clickInNextModal(const QString& buttonName, QString* seenText, bool* answered)
{
    whenModal([=](QWidget* modal) {
        if (auto* box = qobject_cast<kiv_messagebox_dialog*>(modal); box && seenText)
            *seenText = box->text();
        if (auto* button = modal->findChild<QAbstractButton*>(buttonName))
            button->click();
        else if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    }, answered);
}

} // namespace kiv_test
