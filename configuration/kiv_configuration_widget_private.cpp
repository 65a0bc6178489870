// The panel's form, its wiring and texts, and the flows that cross pages.

#include "kiv_configuration_widget_private.h"

#include "kiv_input_guard.h"
#include "kiv_panel_log.h"
#include "kiv_pluginoptions.h"
#include "kiv_plugintutorial.h"
#include "kiv_window_chrome.h"
#include "ui_kiv_configuration_widget.h"

#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QIcon>
#include <QIntValidator>
#include <QSettings>

kiv_configuration_widget_private::kiv_configuration_widget_private(kiv_configuration_widget* panel,
                                                                   kiv_general_types::GeneralSet& general,
                                                                   kiv_http* http, QWidget* parent)
    : q(panel)
    , ui(new Ui::wgtConfiguration)
    , m_general(general)
    , m_store(new kiv_settings_store(
          [this](int level, const QString& message, int line) { Log(level, message, line); }))
{
    // Keeps the embedded translation linked in where the library's objects
    // are linked statically (the tests); a no-op in the shared library.
    Q_INIT_RESOURCE(kiv_configuration_i18n);
    ui->setupUi(q);
    // Owned by the panel, though it hangs below the host's widget.
    m_pluginOptions = new kiv_pluginoptions(http, parent);
    m_generalPage.reset(new kiv_general_page(*this));
    m_versionPage.reset(new kiv_version_page(*this, m_pluginOptions));
    m_transferPage.reset(new kiv_transfer_page(*this));
    m_personalPage.reset(new kiv_personal_page(*this));
    m_projectPage.reset(new kiv_project_page(*this, general));
}

kiv_configuration_widget_private::~kiv_configuration_widget_private()
{
    m_store.reset();
    delete m_pluginOptions;
    delete m_tutorial;
}

void kiv_configuration_widget_private::Log(int level, const QString& message, int line) const
{
    emit q->sigLog(m_loggerId, level, message, L"kiv_configuration_widget", line);
}

void kiv_configuration_widget_private::EnableApply()
{
    q->EnableApply();
}

void kiv_configuration_widget_private::ApplyFramelessWindow()
{
    const int margin = kiv_window_chrome::shadowMargin();
    q->resize(q->minimumWidth() + margin, q->minimumHeight() + margin);
    kiv_window_chrome::applyFrameShadow(q, ui->widget_border);
}

void kiv_configuration_widget_private::UpdateFrame()
{
    if (!q->isMaximized())
        kiv_window_chrome::updateFrame(q, ui->widget_border);
}

void kiv_configuration_widget_private::FitScreen()
{
    kiv_window_chrome::fitScreen(q, m_formMinimum);
}

void kiv_configuration_widget_private::InitForm()
{
    // Pages scroll rather than push the window past a small screen; page 0
    // has its own scroll area.
    m_formMinimum = q->minimumSize();
    kiv_window_chrome::scrollPagesWhenPolished(
        q, {ui->wgtSoftwareVersion, ui->wgtUDTTransfer, ui->Persional, ui->wgtProject});
    kiv_window_chrome::addSizeGrip(ui->widget_border);
    // The pages now yield width to it rather than squeeze the navigation.
    ui->lwtConfiguration->setMinimumWidth(ui->lwtConfiguration->maximumWidth());
    // Shown without a skin too; a skin may restyle the button around it.
    ui->btnClose->setIcon(QIcon(QStringLiteral(":/image/source/close.png")));
    ui->btnClose->setFlat(true);
    ui->Title->setMoveTarget(q);

    q->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    ui->BtnGeneral->setProperty("ListNum", 0);
    ui->BtnVersion->setProperty("ListNum", 1);
    ui->BtnTransfer->setProperty("ListNum", 2);
    ui->BtnPersional->setProperty("ListNum", 3);
    ui->BtnProject->setProperty("ListNum", 4);

    QTableWidget* versions = ui->twtSoftwareVersion;
    versions->setMouseTracking(true);
    versions->horizontalHeader()->setSectionsClickable(false);
    versions->setColumnCount(3);
    versions->setShowGrid(true);
    versions->verticalHeader()->setDefaultSectionSize(40);
    versions->horizontalHeader()->setFixedHeight(40);

    ui->lwtConfiguration->setFocusPolicy(Qt::NoFocus);
    ui->swtConfiguration->setCurrentIndex(0);

    ui->btnCancel->hide();
    ui->boxAnalysisTimeout->setValidator(new QIntValidator(30, 300, ui->boxAnalysisTimeout));
    ui->boxBalanceInsufficient->setValidator(new QIntValidator(1, 10000, ui->boxBalanceInsufficient));
    ui->renderspinbox->setValidator(new QIntValidator(1, 9000, ui->renderspinbox));
    for (QLineEdit* field : {ui->boxAnalysisTimeout, ui->boxBalanceInsufficient, ui->renderspinbox})
        kiv_input_guard::MarkOutOfRange(field);
    kiv_input_guard::GuardWheel(q);
    // Enter applies, and only that.
    kiv_input_guard::KeepOnlyDefault(q, ui->btnApply);
    ui->swtTransmisson->hide();
    ui->BtnPersional->hide();
    ui->Radstop->hide();
    m_personalPage->CreateFileWatcher();

    formReady = true;
}

void kiv_configuration_widget_private::CreateAction()
{
    using Panel = kiv_configuration_widget;
    QObject::connect(ui->btnApply, &QPushButton::clicked, q, &Panel::TriggerApply);
    QObject::connect(ui->btnCancel, &QPushButton::clicked, q, &Panel::TriggerCancel);
    QObject::connect(ui->btnClose, &QPushButton::clicked, q, &QDialog::close);

    // Every edit runs the change tracker.
    for (QCheckBox* box : {ui->chkAutoDown, ui->checkBox_PathSuffix, ui->chkLayerOp, ui->chkFileVersion,
                           ui->ReRender, ui->UploadSenceOnly, ui->CompressScene, ui->CompressDownload,
                           ui->SetArgument, ui->AnalysisTimeout, ui->BalanceInsufficient,
                           ui->Analysierror, ui->EnableClipboard, ui->RenderTimeout, ui->ChkCancel})
        QObject::connect(box, &QCheckBox::stateChanged, q, &Panel::EnableApply);
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{ui->PriorityRendering, ui->Radstop, ui->RadTellme,
                                                 ui->ReAnalysis})
        QObject::connect(button, &QAbstractButton::clicked, q, &Panel::EnableApply);
    for (QComboBox* combo : {ui->comboBox_pacageMode, ui->comTransferLine})
        QObject::connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), q, &Panel::EnableApply);
    for (QLineEdit* edit : {ui->boxAnalysisTimeout, ui->boxBalanceInsufficient, ui->renderspinbox})
        QObject::connect(edit, &QLineEdit::editingFinished, q, &Panel::EnableApply);
    for (QLineEdit* edit : {ui->lineEdit_defaultDownloadPath, ui->lineEdit_pathSuffix,
                            ui->lineEdit_analysisCachePath})
        QObject::connect(edit, &QLineEdit::textChanged, q, &Panel::EnableApply);
    for (QDoubleSpinBox* spin : {ui->spbUploadSpeedU, ui->spbDownloadSpeedU, ui->spbUploadSpeedA,
                                 ui->spbDownloadSpeedA})
        QObject::connect(spin, qOverload<double>(&QDoubleSpinBox::valueChanged), q, &Panel::EnableApply);
    QObject::connect(ui->twtSoftwareVersion, &QTableWidget::cellChanged, q, &Panel::EnableApply);

    QObject::connect(ui->cmbTransferType, qOverload<int>(&QComboBox::currentIndexChanged), q,
                     &Panel::HandleTransferModeChanged);
    for (QRadioButton* radio : {ui->radDownloadDefaultU, ui->radDownloadHighU, ui->radUploadDefaultU,
                                ui->radUploadHighU, ui->radDownloadDefaultA, ui->radDownloadHighA,
                                ui->radUploadDefaultA, ui->radUploadHighA})
        QObject::connect(radio, &QRadioButton::clicked, q, &Panel::HandleRadioButtonChanged);
    QObject::connect(ui->BtnSpeedTest, &QPushButton::clicked, q, &Panel::SpeedTest);

    for (QRadioButton* nav :
         {ui->BtnGeneral, ui->BtnTransfer, ui->BtnVersion, ui->BtnPersional, ui->BtnProject})
        QObject::connect(nav, &QRadioButton::clicked, q, &Panel::setTransferCurrentIndex);

    QObject::connect(ui->BntAddItem, &QPushButton::clicked, q, &Panel::sigCreateProject);
    QObject::connect(ui->btn_selectDefaultDownloadPath, &QPushButton::clicked, q,
                     &Panel::OnSelectDefaultDownloadPath);
    QObject::connect(ui->btn_selectAnalysisCachePath, &QPushButton::clicked, q,
                     &Panel::OnSelectAnalysisCachePath);
    QObject::connect(ui->btnPluginInstall, &QPushButton::clicked, q, &Panel::OnPluginInstallmanually);
    QObject::connect(ui->BtnAddMonitor, &QPushButton::clicked, q, &Panel::AddMonitorItem);
    QObject::connect(ui->BtnAddCamera, &QPushButton::clicked, q, &Panel::CreateCamera);
}

void kiv_configuration_widget_private::RetranslateUi()
{
    q->setWindowTitle(QObject::tr("Settings"));
    ui->LinSet->setText(QObject::tr("Settings"));
    ui->BtnGeneral->setText(QObject::tr("General Settings"));
    ui->BtnVersion->setText(QObject::tr("Version Settings"));
    ui->BtnTransfer->setText(QObject::tr("Transfer Settings"));
    ui->BtnPersional->setText(QObject::tr("Persion Settings"));
    ui->BtnProject->setText(QObject::tr("Project Settings"));
    ui->btnApply->setText(QObject::tr("Apply"));
    ui->btnCancel->setText(QObject::tr("Cancel"));

    m_generalPage->Retranslate();
    m_transferPage->Retranslate();
    m_personalPage->Retranslate();
    m_versionPage->Retranslate();
    m_projectPage->Retranslate();
}

void kiv_configuration_widget_private::GetAppVersion()
{
    QStringList pyKeys;
    m_store->ReadDefaultsOnce([&](QSettings& settings) {
        m_appVersion = settings.value(QStringLiteral("kiv.appversion/appversion")).toString();
        m_hotline = settings.value(QStringLiteral("kiv.appversion/hotline")).toString();
        m_qqNumber = settings.value(QStringLiteral("kiv.appversion/qqnumber")).toString();
        m_oldMaxList = settings.value(QStringLiteral("3dsmax/oldmax")).toStringList();
        settings.beginGroup(QStringLiteral("py"));
        pyKeys = settings.allKeys();
        settings.endGroup();
    });
    for (const QString& key : qAsConst(pyKeys))
        m_pyVersions[key] = m_store->HostValues(QStringLiteral("py/%1").arg(key));
}

void kiv_configuration_widget_private::LoadUserSettings()
{
    m_store->OpenDefaults();
    m_versionPage->ReadSoftVersion();
    switch (m_store->OpenUser(m_userName, m_userId)) {
    case kiv_settings_store::UserFile::Released:
        // Neither a refused name nor the previous user's values may be used.
        ResetUserOptions();
        return;
    case kiv_settings_store::UserFile::None:
        return;
    case kiv_settings_store::UserFile::Opened:
    case kiv_settings_store::UserFile::Kept:
        break;
    }
    m_generalPage->ReadGeneralSettings();
    m_projectPage->ReadCurrentProject();
    m_transferPage->ReadTransferSettings();
    // A user set while an offer is known starts on an offered method.
    if (m_transferPage->HasOffer())
        m_transferPage->KeepOfferedTransferType();
    m_personalPage->ReadPersionalSettings();
}

void kiv_configuration_widget_private::ResetUserOptions()
{
    m_generalPage->ResetToBuiltIn();
    m_projectPage->ClearCurrentProject();
    m_transferPage->ResetOptions();
    m_personalPage->ClearLists();
}

void kiv_configuration_widget_private::InitUiSettings()
{
    m_generalPage->ShowGeneralSettings();
    m_projectPage->ShowProjectList();
    m_versionPage->ShowSoftwareVersion();
    m_transferPage->ShowTransferSettings();
    m_personalPage->ShowPersionSettings();
}

QVariant kiv_configuration_widget_private::GeneralAnswer(const QString& mark, bool slotForm, bool* known) const
{
    using Mark = kiv_general_page::Mark;
    QVariant value;
    const Mark source = m_generalPage->GeneralAnswer(mark, slotForm, &value);
    *known = source != Mark::Unknown;
    switch (source) {
    case Mark::Unknown:
    case Mark::Answered:
        break;
    case Mark::AppVersion:
        return m_appVersion;
    case Mark::Hotline:
        return m_hotline;
    case Mark::QqNumber:
        return m_qqNumber;
    case Mark::CurrentProject:
        return m_projectPage->CurrentProjectId();
    case Mark::UploadConcurrent:
        return m_transferPage->UploadConcurrent();
    case Mark::DownloadConcurrent:
        return m_transferPage->DownloadConcurrent();
    }
    return value;
}
