// The general page: how jobs are analysed, uploaded, rendered and downloaded.

#include "kiv_configuration_widget.h"

#include "ui_kiv_configuration_widget.h"

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

void kiv_configuration_widget::OnSelectDefaultDownloadPath()
{
}

void kiv_configuration_widget::OnSelectAnalysisCachePath()
{
}

void kiv_configuration_widget::SelectPathSuffix()
{
}
