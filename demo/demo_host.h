#pragma once

#include "kiv_general_types.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <vector>

class QTranslator;

class kiv_configuration_widget;
class kiv_http;

// Plays the host client: owns the records the panel borrows, drives the
// panel in the order a host does, and prints every signal it sends back.
class DemoHost : public QObject
{
    Q_OBJECT
public:
    explicit DemoHost(const QString& outputDir, QObject* parent = nullptr);
    ~DemoHost() override;

    // Hands the panel a sample user, then opens it and returns when it
    // closes. With captureScreens, every page is saved as a PNG and the
    // panel closes itself.
    void Run(bool captureScreens);

    // "en" or "zh_CN": installs or removes the translators of the panel, of
    // the host's stand-ins and of Qt's own dialogs.
    void SetLanguage(const QString& code);
    // Whether the panel gets the demo's style sheet (the default), as a host
    // with a skin does.
    void SetSkinned(bool skinned) { m_skinned = skinned; }

    QStringList Screenshots() const { return m_screenshots; }
    QString SignalLogPath() const { return m_signalLog.fileName(); }

signals:
    // The host's own signals, chained to the panel's plugin signals.
    void pluginConfigChanged(QVariantMap config);
    void pluginUpdateRequested();

private:
    void ConnectPanelSignals();
    void AnswerProjectRequests();
    void PushProjects();
    void PlayProjectRequests();
    void CapturePages();
    void CaptureLanguage(const QString& code);
    void OfferLanguageSwitch();
    void ReportOptions();
    void Report(const QString& signal, const QString& details = QString());

    // Declared before the panel so that it outlives it.
    kiv_general_types::GeneralSet m_general;
    kiv_http* m_http = nullptr; // child of this object
    std::unique_ptr<kiv_configuration_widget> m_panel;

    QString m_outputDir;
    QFile m_signalLog;
    QStringList m_screenshots;
    std::vector<std::unique_ptr<QTranslator>> m_translators;
    QString m_language = QStringLiteral("en");
    bool m_skinned = true;
    int m_announcements = 0; // fileChangeList signals received
};
