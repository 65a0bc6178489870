#pragma once

#include "kiv_general_types.h"

#include <QString>

class kiv_configuration_widget;
class kiv_settings_store;

namespace Ui {
class wgtConfiguration;
}

// What a page of the panel may reach: the form, the settings store, the
// current user, the log, the change tracker and the panel itself (to emit
// its signals and to parent dialogs). Pages never reach each other.
class kiv_panel_context
{
public:
    virtual kiv_configuration_widget* Panel() const = 0;
    virtual Ui::wgtConfiguration* Form() const = 0;
    virtual kiv_settings_store& Store() const = 0;
    virtual const kiv_general_types::AuthSet::LoginInfo& Login() const = 0;
    // The panel's copies of the login's user id and name.
    virtual const QString& UserId() const = 0;
    virtual const QString& UserName() const = 0;
    // Whether the form has been built and wired.
    virtual bool FormReady() const = 0;
    virtual void Log(int level, const QString& message, int line) const = 0;
    // Runs the change tracker: dependent widgets, then Apply enabled.
    virtual void EnableApply() = 0;

protected:
    ~kiv_panel_context() = default;
};

// The common ground of the pages: their context, and the log macro's target.
class kiv_panel_page
{
public:
    explicit kiv_panel_page(kiv_panel_context& context) : m_context(context) {}
    kiv_panel_page(const kiv_panel_page&) = delete;
    kiv_panel_page& operator=(const kiv_panel_page&) = delete;

protected:
    ~kiv_panel_page() = default;
    Ui::wgtConfiguration* ui() const { return m_context.Form(); }
    void WriteLog(int level, const QString& message, int line) const { m_context.Log(level, message, line); }

    kiv_panel_context& m_context;
};
