#pragma once

#include "kiv_configuration_widget.h"
#include "kiv_general_page.h"
#include "kiv_panel_context.h"
#include "kiv_personal_page.h"
#include "kiv_project_page.h"
#include "kiv_settings_store.h"
#include "kiv_transfer_page.h"
#include "kiv_version_page.h"

#include <QPointer>

#include <memory>

class kiv_pluginoptions;
class kiv_plugintutorial;

namespace Ui {
class wgtConfiguration;
}

// The panel's state: the form, the settings store, the user, the version
// information, the owned helpers, and one object per page. It is the
// context the pages reach the panel through.
class kiv_configuration_widget_private final : public kiv_panel_context
{
public:
    kiv_configuration_widget_private(kiv_configuration_widget* panel, kiv_general_types::GeneralSet& general,
                                     kiv_http* http, QWidget* parent);
    ~kiv_configuration_widget_private();

    kiv_configuration_widget* Panel() const override { return q; }
    Ui::wgtConfiguration* Form() const override { return ui.get(); }
    kiv_settings_store& Store() const override { return *m_store; }
    const kiv_general_types::AuthSet::LoginInfo& Login() const override { return m_loginInfo; }
    const QString& UserId() const override { return m_userId; }
    const QString& UserName() const override { return m_userName; }
    bool FormReady() const override { return formReady; }
    void Log(int level, const QString& message, int line) const override;
    void EnableApply() override;

    // Builds, wires and labels the form.
    void ApplyFramelessWindow();
    // The shadow margin for the windowing system's current answer.
    void UpdateFrame();
    // The window within the available area of its screen.
    void FitScreen();
    void InitForm();
    void CreateAction();
    void GetAppVersion();
    void RetranslateUi();

    // The flows that cross pages.
    void LoadUserSettings();
    void ResetUserOptions();
    void InitUiSettings();
    // GetGeneralOpt: the general page's answer, or the part that holds it.
    QVariant GeneralAnswer(const QString& mark, bool slotForm, bool* known) const;

    kiv_configuration_widget* const q;
    std::unique_ptr<Ui::wgtConfiguration> ui;
    kiv_general_types::GeneralSet& m_general;
    int m_loggerId = 0;

    kiv_general_types::AuthSet::LoginInfo m_loginInfo;
    QString m_userId;
    QString m_userName;
    std::unique_ptr<kiv_settings_store> m_store;

    // Version texts and tables, read once while the panel is built.
    QString m_appVersion;
    QString m_hotline;
    QString m_qqNumber;
    QStringList m_oldMaxList;
    QMap<QString, QStringList> m_pyVersions;

    QPointer<kiv_pluginoptions> m_pluginOptions;
    QPointer<kiv_plugintutorial> m_tutorial;
    bool m_installing = false;
    bool formReady = false;
    QSize m_formMinimum;

    std::unique_ptr<kiv_general_page> m_generalPage;
    std::unique_ptr<kiv_version_page> m_versionPage;
    std::unique_ptr<kiv_transfer_page> m_transferPage;
    std::unique_ptr<kiv_personal_page> m_personalPage;
    std::unique_ptr<kiv_project_page> m_projectPage;
};
