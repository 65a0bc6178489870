#pragma once

#include "kiv_general_options.h"
#include "kiv_panel_context.h"

#include <QStringList>
#include <QVariant>
#include <QVector>

class QWidget;

// The general page: the general options in memory, read from the settings
// files, shown on the page, kept consistent while edited, applied, and
// answered to the host's GetGeneralOpt.
class kiv_general_page : public kiv_panel_page
{
public:
    explicit kiv_general_page(kiv_panel_context& context);

    // Back to the built-in defaults, as with no user.
    void ResetToBuiltIn();
    void ReadGeneralSettings();
    void ShowGeneralSettings();
    void UpdateDependentWidgets();
    void ApplyGeneralSettings();
    void Retranslate();

    // What a host mark of GetGeneralOpt asks for. The page answers its
    // options and the web links itself; the rest belongs to others.
    enum class Mark {
        Unknown,
        Answered,
        AppVersion,
        Hotline,
        QqNumber,
        CurrentProject,
        UploadConcurrent,
        DownloadConcurrent,
    };
    Mark GeneralAnswer(const QString& mark, bool slotForm, QVariant* value) const;

    // The first, silent plugin install switches later ones to the interactive one.
    void SetAutoInstallPlugin();

    void OnSelectDefaultDownloadPath();
    void OnSelectAnalysisCachePath();
    void SelectPathSuffix();

private:
    kiv_general_options m_generalOptions;
    // The widget of each option, null where there is none.
    QVector<QWidget*> m_generalWidgets;
    QStringList m_webLinks;
};
