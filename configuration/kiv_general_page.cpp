// The general page: how jobs are analysed, uploaded, rendered and downloaded.

#include "kiv_general_page.h"

#include "kiv_configuration_widget.h"
#include "kiv_downloadpath.h"
#include "kiv_settings_store.h"
#include "kiv_types.h"
#include "ui_kiv_configuration_widget.h"

#include <QFileDialog>
#include <QHash>
#include <QSettings>

#include <iterator>

namespace {

using Options = kiv_general_options;
using Mark = kiv_general_page::Mark;

const char* const kWebLinks[] = {"server", "register", "reset", "personal-center",
                                 "render-list", "help", "recharge", "us"};

// What one host mark answers with: an option, an option that always reads
// false, a web link, or a value another part of the panel holds.
struct HostMark {
    enum Source { Option, AlwaysFalse, WebLink, Elsewhere };
    Source source;
    int index; // into the option table or the web links
    Mark elsewhere;
};

using MarkTable = QHash<QString, HostMark>;

void InsertElsewhere(MarkTable& table, const char* mark, Mark owner)
{
    table.insert(QLatin1String(mark), {HostMark::Elsewhere, 0, owner});
}

// The host may ask very often: each form of GetGeneralOpt is one lookup in
// a table built once from the option table.
const MarkTable& ValueMarks()
{
    static const MarkTable marks = [] {
        MarkTable result;
        for (int i = 0; i < Options::table().size(); ++i) {
            const Options::Option& option = Options::table().at(i);
            if (option.answer == Options::HostAnswer::Value)
                result.insert(QLatin1String(option.key), {HostMark::Option, i, Mark::Answered});
            else if (option.answer == Options::HostAnswer::AlwaysFalse)
                result.insert(QLatin1String(option.key), {HostMark::AlwaysFalse, i, Mark::Answered});
        }
        InsertElsewhere(result, "uploadconcurrent", Mark::UploadConcurrent);
        InsertElsewhere(result, "downloadconcurrent", Mark::DownloadConcurrent);
        InsertElsewhere(result, "currentproject", Mark::CurrentProject);
        InsertElsewhere(result, "appversion", Mark::AppVersion);
        InsertElsewhere(result, "hotline", Mark::Hotline);
        InsertElsewhere(result, "qqnumber", Mark::QqNumber);
        for (int i = 0; i < int(std::size(kWebLinks)); ++i)
            result.insert(QLatin1String(kWebLinks[i]), {HostMark::WebLink, i, Mark::Answered});
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
                result.insert(QLatin1String(mark), {HostMark::Option, i, Mark::Answered});
        }
        InsertElsewhere(result, "uploadconcurrent", Mark::UploadConcurrent);
        InsertElsewhere(result, "downloadconcurrent", Mark::DownloadConcurrent);
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

// Lets the user pick a folder for a path edit; cancelling leaves it as it was.
void ChooseFolderFor(QWidget* parent, QLineEdit* edit)
{
    const QString folder =
        QFileDialog::getExistingDirectory(parent, QString(), edit->text(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        edit->setText(folder);
}

} // namespace

kiv_general_page::kiv_general_page(kiv_panel_context& context)
    : kiv_panel_page(context)
{
    for (const Options::Option& option : Options::table())
        m_generalWidgets << (option.widget ? m_context.Panel()->findChild<QWidget*>(QLatin1String(option.widget))
                                           : nullptr);
    // Until a user is set the host is answered with the built-in defaults.
    ResetToBuiltIn();
}

void kiv_general_page::ResetToBuiltIn()
{
    m_generalOptions.resetToBuiltIn(kiv_types::userAppPath());
}

Mark kiv_general_page::GeneralAnswer(const QString& mark, bool slotForm, QVariant* value) const
{
    const MarkTable& marks = slotForm ? SlotMarks() : ValueMarks();
    const auto found = marks.constFind(mark);
    if (found == marks.constEnd())
        return Mark::Unknown;
    switch (found->source) {
    case HostMark::Option:
        *value = m_generalOptions.value(found->index);
        break;
    case HostMark::AlwaysFalse:
        *value = false;
        break;
    case HostMark::WebLink:
        *value = m_webLinks.value(found->index);
        break;
    case HostMark::Elsewhere:
        return found->elsewhere;
    }
    return Mark::Answered;
}

void kiv_general_page::ReadGeneralSettings()
{
    QSettings& defaults = *m_context.Store().Defaults();
    QSettings& user = *m_context.Store().User();
    ResetToBuiltIn();
    const QVector<Options::Option>& table = Options::table();

    for (int i = 0; i < table.size(); ++i) {
        if (table[i].source == Options::Source::UserFile)
            continue;
        const QString key = QStringLiteral("kiv.general/") + QLatin1String(table[i].key);
        if (defaults.contains(key))
            m_generalOptions.setValue(i, defaults.value(key));
    }

    user.beginGroup(QStringLiteral("kiv.general"));
    for (int i = 0; i < table.size(); ++i) {
        const QString key = QLatin1String(table[i].key);
        if (table[i].source != Options::Source::DefaultFile && user.contains(key))
            m_generalOptions.setValue(i, user.value(key));
    }
    user.endGroup();

    m_webLinks.clear();
    for (const char* link : kWebLinks)
        m_webLinks << defaults.value(QStringLiteral("kiv.web/") + QLatin1String(link)).toString();
}

void kiv_general_page::ShowGeneralSettings()
{
    Ui::wgtConfiguration* form = ui();
    form->checkBox_PathSuffix->setChecked(m_generalOptions.flag("downloadpathsuffix"));
    form->checkBox->setChecked(true);
    form->checkBox->setEnabled(false);

    // The check boxes already run the change tracker, so each state that
    // changes here also runs the dependent-widget rules.
    const QVector<Options::Option>& table = Options::table();
    for (int i = 0; i < table.size(); ++i) {
        if (auto* box = qobject_cast<QCheckBox*>(m_generalWidgets.at(i)))
            box->setChecked(m_generalOptions.value(i).toBool());
    }
    form->comboBox_pacageMode->setCurrentIndex(m_generalOptions.number("maxpackagetype"));

    if (!m_generalOptions.flag("pre-render"))
        form->PriorityRendering->hide();
    if (!m_generalOptions.flag("autodownload"))
        form->CompressDownload->hide();

    form->boxAnalysisTimeout->setEnabled(m_generalOptions.flag("analysistimeout"));
    form->boxBalanceInsufficient->setEnabled(m_generalOptions.flag("balancecheck"));
    form->boxAnalysisTimeout->setText(QString::number(m_generalOptions.number("analysistime")));
    form->boxBalanceInsufficient->setText(QString::number(m_generalOptions.number("remainbalance")));

    // "Warnning" is what the panel shows whenever the timeout is on.
    const bool renderTimeout = m_generalOptions.flag("rendertimeout");
    form->RenderTimeout->setChecked(renderTimeout);
    form->renderspinbox->setEnabled(renderTimeout);
    if (renderTimeout) {
        form->renderspinbox->setText(QString::number(m_generalOptions.number("rendertime")));
        form->RadTellme->show();
        form->RadTellme->setChecked(true);
    } else {
        form->RadTellme->hide();
        form->Radstop->hide();
    }

    form->ChkCancel->setChecked(m_generalOptions.flag("checkcancel"));
    form->ReAnalysis->setChecked(m_generalOptions.flag("reanalysis"));
    form->lineEdit_defaultDownloadPath->setText(m_generalOptions.text("defaultdownloadpath"));
    form->lineEdit_pathSuffix->setText(m_generalOptions.text("defaultdownloadpathsuffix"));
    form->lineEdit_analysisCachePath->setText(m_generalOptions.text("analysiscachepath"));
}

void kiv_general_page::UpdateDependentWidgets()
{
    Ui::wgtConfiguration* form = ui();
    if (form->RenderTimeout->isChecked()) {
        form->renderspinbox->setEnabled(true);
        form->RadTellme->show();
        form->RadTellme->setChecked(true);
        if (form->renderspinbox->text().toInt() < 1) {
            if (m_generalOptions.number("rendertime") <= 0)
                m_generalOptions.set("rendertime", 3000);
            form->renderspinbox->setText(QString::number(m_generalOptions.number("rendertime")));
        }
    } else {
        form->renderspinbox->setEnabled(false);
        form->Radstop->hide();
        form->RadTellme->hide();
    }

    const bool analysisTimeout = form->AnalysisTimeout->isChecked();
    form->boxAnalysisTimeout->setEnabled(analysisTimeout);
    if (analysisTimeout && form->boxAnalysisTimeout->text().toInt() < 30)
        form->boxAnalysisTimeout->setText(QString::number(m_generalOptions.number("analysistime")));

    form->boxBalanceInsufficient->setEnabled(form->BalanceInsufficient->isChecked());

    const bool suffix = form->checkBox_PathSuffix->isChecked();
    form->lineEdit_pathSuffix->setVisible(suffix);
    form->btn_editPathSuffix->setVisible(suffix);
}

void kiv_general_page::ApplyGeneralSettings()
{
    // Memory follows the page even when no user file is open to write to.
    kiv_settings_store& store = m_context.Store();
    QSettings* file = store.User();
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
            if (!ui()->RenderTimeout->isChecked())
                continue;
            m_generalOptions.setValue(i, !ui()->Radstop->isChecked());
            break;
        case Options::ApplyRule::Trimmed:
            m_generalOptions.setValue(i, edit->text().trimmed());
            break;
        case Options::ApplyRule::ReReadDefault:
            if (store.Defaults()) {
                // The host may have changed the file since it was opened.
                const QString key = QStringLiteral("kiv.general/") + QLatin1String(option.key);
                m_generalOptions.setValue(i, store.FreshDefault(key, option.builtIn));
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

void kiv_general_page::SetAutoInstallPlugin()
{
    m_generalOptions.set("autoinstallplugin", 1);
}

void kiv_general_page::Retranslate()
{
    Ui::wgtConfiguration* form = ui();
    auto setTexts = [](QAbstractButton* button, const QString& text, const QString& tip) {
        button->setText(text);
        button->setToolTip(tip);
    };
    setTexts(form->chkAutoDown, QObject::tr("Auto Download"),
             QObject::tr("Auto download when frame is complete"));
    setTexts(form->SetArgument, QObject::tr("Set Argument"),
             QObject::tr("Set parameters when analysis is complete"));
    setTexts(form->CompressScene, QObject::tr("Compress Scene"),
             QObject::tr("Compress scene file before transfer"));
    setTexts(form->ReAnalysis, QObject::tr("ReAnalysis"), QObject::tr("Analysis of the scene re analysis"));
    setTexts(form->Analysierror, QObject::tr("Stop Commit When Analysis Faild"),
             QObject::tr("Alert and wait for confirmation when an error occurs"));
    form->checkBox_PathSuffix->setText(QObject::tr("Append download path"));
    form->AnalysisTimeout->setText(QObject::tr("Auto Faild After Analysis Timeout"));
    form->lblTime->setText(QObject::tr("Minutes"));
    form->AnalysisTops->setText(QObject::tr("*Set 30 ~ 300 Minutes"));
    form->RenderTimeout->setText(QObject::tr("Render Timeout"));
    form->RenderTime->setText(QObject::tr("Minutes"));
    form->RenderTops->setText(QObject::tr("*Set  1~ 9000 minutes"));
    form->RadTellme->setText(QObject::tr("Warnning"));
    form->Radstop->setText(QObject::tr("Stop Work"));
    setTexts(form->EnableClipboard, QObject::tr("Enable clipboard submit"),
             QObject::tr("Enable clipboard submitting when the drag and drop submitting failed"));
    form->label_defaultDownloadPath->setText(QObject::tr("Default download path"));
    setTexts(form->CompressDownload, QObject::tr("Compress Download"),
             QObject::tr("Only the jobs completed after this option being choosed will be downloaded "
                         "automatically"));
    setTexts(form->UploadSenceOnly, QObject::tr("Upload Scene File Only"),
             QObject::tr("Upload the scene file only"));
    setTexts(form->ReRender, QObject::tr("Enable Pre-Render"), QObject::tr("Pre-render 3 frames for checking"));
    setTexts(form->PriorityRendering, QObject::tr("The pre rendered frame priority rendering"),
             QObject::tr("High priority for pre-rendering frames"));
    form->chkLayerOp->setText(QObject::tr("Merge layers"));
}

void kiv_general_page::OnSelectDefaultDownloadPath()
{
    ChooseFolderFor(m_context.Panel(), ui()->lineEdit_defaultDownloadPath);
}

void kiv_general_page::OnSelectAnalysisCachePath()
{
    ChooseFolderFor(m_context.Panel(), ui()->lineEdit_analysisCachePath);
}

void kiv_general_page::SelectPathSuffix()
{
    kiv_downloadpath dialog(kiv_downloadpath::PatternKeys(ui()->lineEdit_pathSuffix->text()),
                            m_generalOptions.text("custompath"), m_context.Panel());
    // Rebuilt even after a cancel, which normalises a stored text that
    // lacks its final "/".
    ui()->lineEdit_pathSuffix->setText(kiv_downloadpath::PatternText(dialog.ChoosePathSuffix()));
    if (dialog.result() == QDialog::Accepted) {
        m_generalOptions.set("custompath", dialog.CustomText());
        m_context.Store().WriteNow(QStringLiteral("kiv.general/custompath"), dialog.CustomText());
    }
}
