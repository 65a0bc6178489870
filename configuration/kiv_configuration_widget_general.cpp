// The general page: how jobs are analysed, uploaded, rendered and downloaded.

#include "kiv_configuration_widget.h"

#include "kiv_downloadpath.h"
#include "kiv_types.h"
#include "ui_kiv_configuration_widget.h"

#include <QFileDialog>
#include <QHash>
#include <QSettings>

namespace {

using Options = kiv_general_options;

const char* const kWebLinks[] = {"server", "register", "reset", "personal-center",
                                 "render-list", "help", "recharge", "us"};

// What one host mark of GetGeneralOpt answers with.
struct HostMark {
    enum Source {
        Option,
        AlwaysFalse,
        AppVersion,
        Hotline,
        QqNumber,
        WebLink,
        CurrentProject,
        UploadConcurrent,
        DownloadConcurrent,
    };
    Source source;
    int index; // into the option table or the web links
};

using MarkTable = QHash<QString, HostMark>;

// The host may ask very often: each form of GetGeneralOpt is one lookup in
// a table built once from the option table.
const MarkTable& ValueMarks()
{
    static const MarkTable marks = [] {
        MarkTable result;
        for (int i = 0; i < Options::table().size(); ++i) {
            const Options::Option& option = Options::table().at(i);
            if (option.answer == Options::HostAnswer::Value)
                result.insert(QLatin1String(option.key), {HostMark::Option, i});
            else if (option.answer == Options::HostAnswer::AlwaysFalse)
                result.insert(QLatin1String(option.key), {HostMark::AlwaysFalse, i});
        }
        result.insert(QStringLiteral("uploadconcurrent"), {HostMark::UploadConcurrent, 0});
        result.insert(QStringLiteral("downloadconcurrent"), {HostMark::DownloadConcurrent, 0});
        result.insert(QStringLiteral("currentproject"), {HostMark::CurrentProject, 0});
        result.insert(QStringLiteral("appversion"), {HostMark::AppVersion, 0});
        result.insert(QStringLiteral("hotline"), {HostMark::Hotline, 0});
        result.insert(QStringLiteral("qqnumber"), {HostMark::QqNumber, 0});
        for (int i = 0; i < int(std::size(kWebLinks)); ++i)
            result.insert(QLatin1String(kWebLinks[i]), {HostMark::WebLink, i});
        return result;
    }();
    return marks;
}

const MarkTable& SlotMarks()
{
    static const MarkTable marks = [] {
        MarkTable result;
        for (int i = 0; i < Options::table().size(); ++i) {
            if (const char* mark = Options::table().at(i).slotMark)
                result.insert(QLatin1String(mark), {HostMark::Option, i});
        }
        result.insert(QStringLiteral("uploadconcurrent"), {HostMark::UploadConcurrent, 0});
        result.insert(QStringLiteral("downloadconcurrent"), {HostMark::DownloadConcurrent, 0});
        return result;
    }();
    return marks;
}

// On/off values are stored as 1 and 0.
QVariant Stored(Options::Kind kind, const QVariant& value)
{
    if (kind == Options::Kind::OnOff || kind == Options::Kind::IntSwitch)
        return value.toBool() ? 1 : 0;
    return value;
}

QVariant WidgetValue(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->isChecked();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentIndex();
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        return edit->text();
    return {};
}

} // namespace

QVariant kiv_configuration_widget::GetGeneralOpt(QString mark)
{
    bool known = false;
    const QVariant answer = GeneralAnswer(mark, false, &known);
    return known ? answer : QVariant(-1);
}

void kiv_configuration_widget::GetGeneralOpt(QString mark, QVariant& value)
{
    bool known = false;
    const QVariant answer = GeneralAnswer(mark, true, &known);
    if (known)
        value = answer;
}

QVariant kiv_configuration_widget::GeneralAnswer(const QString& mark, bool slotForm, bool* known) const
{
    const MarkTable& marks = slotForm ? SlotMarks() : ValueMarks();
    const auto found = marks.constFind(mark);
    *known = found != marks.constEnd();
    if (!*known)
        return {};
    switch (found->source) {
    case HostMark::Option:
        return m_generalOptions.value(found->index);
    case HostMark::AlwaysFalse:
        return false;
    case HostMark::AppVersion:
        return m_appVersion;
    case HostMark::Hotline:
        return m_hotline;
    case HostMark::QqNumber:
        return m_qqNumber;
    case HostMark::WebLink:
        return m_webLinks.value(found->index);
    case HostMark::CurrentProject:
        return m_currentProjectId;
    case HostMark::UploadConcurrent:
        return m_transfer.uploadConcurrent;
    case HostMark::DownloadConcurrent:
        return m_transfer.downloadConcurrent;
    }
    return {};
}

void kiv_configuration_widget::ReadGeneralSettings()
{
    m_generalOptions.resetToBuiltIn(kiv_types::userAppPath());
    const QVector<Options::Option>& table = Options::table();

    for (int i = 0; i < table.size(); ++i) {
        if (table[i].source == Options::Source::UserFile)
            continue;
        const QString key = QStringLiteral("kiv.general/") + QLatin1String(table[i].key);
        if (m_defaultSettings->contains(key))
            m_generalOptions.setValue(i, m_defaultSettings->value(key));
    }

    m_userSettings->beginGroup(QStringLiteral("kiv.general"));
    for (int i = 0; i < table.size(); ++i) {
        const QString key = QLatin1String(table[i].key);
        if (table[i].source != Options::Source::DefaultFile && m_userSettings->contains(key))
            m_generalOptions.setValue(i, m_userSettings->value(key));
    }
    m_userSettings->endGroup();

    m_currentProjectId.clear();
    const QString projectKey = QStringLiteral("kiv.project/currentproject_tmq%1").arg(m_userId);
    if (m_userSettings->contains(projectKey))
        m_currentProjectId = m_userSettings->value(projectKey).toString();

    m_webLinks.clear();
    for (const char* link : kWebLinks)
        m_webLinks << m_defaultSettings->value(QStringLiteral("kiv.web/") + QLatin1String(link)).toString();
}

void kiv_configuration_widget::ShowGeneralSettings()
{
    ui->checkBox_PathSuffix->setChecked(m_generalOptions.flag("downloadpathsuffix"));
    ui->checkBox->setChecked(true);
    ui->checkBox->setEnabled(false);

    // The check boxes already run the change tracker, so each state that
    // changes here also runs the dependent-widget rules.
    const QVector<Options::Option>& table = Options::table();
    for (int i = 0; i < table.size(); ++i) {
        if (auto* box = qobject_cast<QCheckBox*>(m_generalWidgets.at(i)))
            box->setChecked(m_generalOptions.value(i).toBool());
    }
    ui->comboBox_pacageMode->setCurrentIndex(m_generalOptions.number("maxpackagetype"));

    if (!m_generalOptions.flag("pre-render"))
        ui->PriorityRendering->hide();
    if (!m_generalOptions.flag("autodownload"))
        ui->CompressDownload->hide();

    ui->boxAnalysisTimeout->setEnabled(m_generalOptions.flag("analysistimeout"));
    ui->boxBalanceInsufficient->setEnabled(m_generalOptions.flag("balancecheck"));
    ui->boxAnalysisTimeout->setText(QString::number(m_generalOptions.number("analysistime")));
    ui->boxBalanceInsufficient->setText(QString::number(m_generalOptions.number("remainbalance")));

    // "Warnning" is what the panel shows whenever the timeout is on.
    const bool renderTimeout = m_generalOptions.flag("rendertimeout");
    ui->RenderTimeout->setChecked(renderTimeout);
    ui->renderspinbox->setEnabled(renderTimeout);
    if (renderTimeout) {
        ui->renderspinbox->setText(QString::number(m_generalOptions.number("rendertime")));
        ui->RadTellme->show();
        ui->RadTellme->setChecked(true);
    } else {
        ui->RadTellme->hide();
        ui->Radstop->hide();
    }

    ui->ChkCancel->setChecked(m_generalOptions.flag("checkcancel"));
    ui->ReAnalysis->setChecked(m_generalOptions.flag("reanalysis"));
    ui->lineEdit_defaultDownloadPath->setText(m_generalOptions.text("defaultdownloadpath"));
    ui->lineEdit_pathSuffix->setText(m_generalOptions.text("defaultdownloadpathsuffix"));
    ui->lineEdit_analysisCachePath->setText(m_generalOptions.text("analysiscachepath"));

    ShowProjectList();
}

void kiv_configuration_widget::UpdateDependentWidgets()
{
    if (ui->RenderTimeout->isChecked()) {
        ui->renderspinbox->setEnabled(true);
        ui->RadTellme->show();
        ui->RadTellme->setChecked(true);
        if (ui->renderspinbox->text().toInt() < 1) {
            if (m_generalOptions.number("rendertime") <= 0)
                m_generalOptions.set("rendertime", 3000);
            ui->renderspinbox->setText(QString::number(m_generalOptions.number("rendertime")));
        }
    } else {
        ui->renderspinbox->setEnabled(false);
        ui->Radstop->hide();
        ui->RadTellme->hide();
    }

    const bool analysisTimeout = ui->AnalysisTimeout->isChecked();
    ui->boxAnalysisTimeout->setEnabled(analysisTimeout);
    if (analysisTimeout && ui->boxAnalysisTimeout->text().toInt() < 30)
        ui->boxAnalysisTimeout->setText(QString::number(m_generalOptions.number("analysistime")));

    ui->boxBalanceInsufficient->setEnabled(ui->BalanceInsufficient->isChecked());

    const bool suffix = ui->checkBox_PathSuffix->isChecked();
    ui->lineEdit_pathSuffix->setVisible(suffix);
    ui->btn_editPathSuffix->setVisible(suffix);
}

void kiv_configuration_widget::ApplyGeneralSettings()
{
    // Memory follows the page even when no user file is open to write to.
    QSettings* file = m_userSettings.get();
    if (file)
        file->beginGroup(QStringLiteral("kiv.general"));

    const QVector<Options::Option>& table = Options::table();
    for (int i = 0; i < table.size(); ++i) {
        const Options::Option& option = table[i];
        QWidget* widget = m_generalWidgets.at(i);
        auto* edit = qobject_cast<QLineEdit*>(widget);
        switch (option.apply) {
        case Options::ApplyRule::Copy:
            m_generalOptions.setValue(i, WidgetValue(widget));
            break;
        case Options::ApplyRule::AtLeast30:
            if (edit->text().toInt() >= 30)
                m_generalOptions.setValue(i, edit->text().toInt());
            break;
        case Options::ApplyRule::Positive:
            if (edit->text().toInt() > 0)
                m_generalOptions.setValue(i, edit->text().toInt());
            break;
        case Options::ApplyRule::RenderFlag:
            if (!ui->RenderTimeout->isChecked())
                continue;
            m_generalOptions.setValue(i, !ui->Radstop->isChecked());
            break;
        case Options::ApplyRule::Trimmed:
            m_generalOptions.setValue(i, edit->text().trimmed());
            break;
        case Options::ApplyRule::ReReadDefault:
            if (m_defaultSettings) {
                // The host may have changed the file since it was opened.
                m_defaultSettings->sync();
                const QString key = QStringLiteral("kiv.general/") + QLatin1String(option.key);
                m_generalOptions.setValue(i, m_defaultSettings->value(key, option.builtIn));
            }
            continue;
        case Options::ApplyRule::NotApplied:
            continue;
        }
        if (file)
            file->setValue(QLatin1String(option.key), Stored(option.kind, m_generalOptions.value(i)));
    }

    if (file)
        file->endGroup();
}

void kiv_configuration_widget::RetranslateGeneralPage()
{
    auto setTexts = [](QAbstractButton* button, const QString& text, const QString& tip) {
        button->setText(text);
        button->setToolTip(tip);
    };
    setTexts(ui->chkAutoDown, QObject::tr("Auto Download"),
             QObject::tr("Auto download when frame is complete"));
    setTexts(ui->SetArgument, QObject::tr("Set Argument"),
             QObject::tr("Set parameters when analysis is complete"));
    setTexts(ui->CompressScene, QObject::tr("Compress Scene"),
             QObject::tr("Compress scene file before transfer"));
    setTexts(ui->ReAnalysis, QObject::tr("ReAnalysis"), QObject::tr("Analysis of the scene re analysis"));
    setTexts(ui->Analysierror, QObject::tr("Stop Commit When Analysis Faild"),
             QObject::tr("Alert and wait for confirmation when an error occurs"));
    ui->checkBox_PathSuffix->setText(QObject::tr("Append download path"));
    ui->AnalysisTimeout->setText(QObject::tr("Auto Faild After Analysis Timeout"));
    ui->lblTime->setText(QObject::tr("Minutes"));
    ui->AnalysisTops->setText(QObject::tr("*Set 30 ~ 300 Minutes"));
    ui->RenderTimeout->setText(QObject::tr("Render Timeout"));
    ui->RenderTime->setText(QObject::tr("Minutes"));
    ui->RenderTops->setText(QObject::tr("*Set  1~ 9000 minutes"));
    ui->RadTellme->setText(QObject::tr("Warnning"));
    ui->Radstop->setText(QObject::tr("Stop Work"));
    setTexts(ui->EnableClipboard, QObject::tr("Enable clipboard submit"),
             QObject::tr("Enable clipboard submitting when the drag and drop submitting failed"));
    ui->label_defaultDownloadPath->setText(QObject::tr("Default download path"));
    setTexts(ui->CompressDownload, QObject::tr("Compress Download"),
             QObject::tr("Only the jobs completed after this option being choosed will be downloaded "
                         "automatically"));
    setTexts(ui->UploadSenceOnly, QObject::tr("Upload Scene File Only"),
             QObject::tr("Upload the scene file only"));
    setTexts(ui->ReRender, QObject::tr("Enable Pre-Render"), QObject::tr("Pre-render 3 frames for checking"));
    setTexts(ui->PriorityRendering, QObject::tr("The pre rendered frame priority rendering"),
             QObject::tr("High priority for pre-rendering frames"));
    ui->chkLayerOp->setText(QObject::tr("Merge layers"));
}

namespace {

// Lets the user pick a folder for a path edit; cancelling leaves it as it was.
void ChooseFolderFor(QWidget* parent, QLineEdit* edit)
{
    const QString folder =
        QFileDialog::getExistingDirectory(parent, QString(), edit->text(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        edit->setText(folder);
}

} // namespace

void kiv_configuration_widget::OnSelectDefaultDownloadPath()
{
    ChooseFolderFor(this, ui->lineEdit_defaultDownloadPath);
}

void kiv_configuration_widget::OnSelectAnalysisCachePath()
{
    ChooseFolderFor(this, ui->lineEdit_analysisCachePath);
}

void kiv_configuration_widget::SelectPathSuffix()
{
    kiv_downloadpath dialog(kiv_downloadpath::PatternKeys(ui->lineEdit_pathSuffix->text()),
                            m_generalOptions.text("custompath"), this);
    // Rebuilt even after a cancel, which normalises a stored text that
    // lacks its final "/".
    ui->lineEdit_pathSuffix->setText(kiv_downloadpath::PatternText(dialog.ChoosePathSuffix()));
    if (dialog.result() == QDialog::Accepted) {
        m_generalOptions.set("custompath", dialog.CustomText());
        WriteUserSettingNow(QStringLiteral("kiv.general/custompath"), dialog.CustomText());
    }
}
