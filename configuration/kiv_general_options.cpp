#include "kiv_general_options.h"

#include <QHash>

namespace {

using Kind = kiv_general_options::Kind;
using Source = kiv_general_options::Source;
using Rule = kiv_general_options::ApplyRule;
using Answer = kiv_general_options::HostAnswer;

} // namespace

const QVector<kiv_general_options::Option>& kiv_general_options::table()
{
    // In the order Apply writes them. The host reads a few options under
    // other marks, and some only through one form of GetGeneralOpt.
    static const QVector<Option> options = {
        {"autodownload", Kind::OnOff, true, Source::UserFile, "chkAutoDown", Rule::Copy, Answer::Value, "autodownload"},
        {"layerop", Kind::OnOff, true, Source::UserFile, "chkLayerOp", Rule::Copy, Answer::AlwaysFalse, "layerop"},
        {"checkscenefileversion", Kind::OnOff, false, Source::UserFile, "chkFileVersion", Rule::Copy, Answer::Value, "checkscenefileversion"},
        {"countperpage", Kind::Int, 20, Source::DefaultFile, nullptr, Rule::ReReadDefault, Answer::Value, "countperpage"},
        {"compressscene", Kind::OnOff, false, Source::UserFile, "CompressScene", Rule::Copy, Answer::Value, "compressscence"},
        {"uploadsenceonly", Kind::OnOff, false, Source::UserFile, "UploadSenceOnly", Rule::Copy, Answer::AlwaysFalse, "uploadsenceonly"},
        {"pre-render", Kind::OnOff, false, Source::UserFile, "ReRender", Rule::Copy, Answer::AlwaysFalse, "pre-render"},
        {"maxpackagetype", Kind::Int, 1, Source::UserFile, "comboBox_pacageMode", Rule::Copy, Answer::Value, "maxpackagetype"},
        {"priorityrendering", Kind::OnOff, false, Source::UserFile, "PriorityRendering", Rule::Copy, Answer::AlwaysFalse, nullptr},
        {"setargument", Kind::OnOff, false, Source::UserFile, "SetArgument", Rule::Copy, Answer::Value, "setargument"},
        {"compressdownload", Kind::OnOff, false, Source::UserFile, "CompressDownload", Rule::Copy, Answer::AlwaysFalse, "compressdownload"},
        {"downloadpathsuffix", Kind::IntSwitch, false, Source::UserFile, "checkBox_PathSuffix", Rule::Copy, Answer::Value, "downloadpathsuffix"},
        {"balancecheck", Kind::OnOff, true, Source::UserFile, "BalanceInsufficient", Rule::Copy, Answer::Value, "balancecheck"},
        {"remainbalance", Kind::Int, 10, Source::UserFile, "boxBalanceInsufficient", Rule::Positive, Answer::Value, "check"},
        {"analysistimeout", Kind::OnOff, true, Source::UserFile, "AnalysisTimeout", Rule::Copy, Answer::Value, "analysistimeout"},
        {"analysiserror", Kind::OnOff, false, Source::UserFile, "Analysierror", Rule::Copy, Answer::Value, "analysiserror"},
        {"clipboardsubmitting", Kind::OnOff, false, Source::UserFile, "EnableClipboard", Rule::Copy, Answer::Value, "clipboardsubmitting"},
        {"rendertimeout", Kind::OnOff, true, Source::UserFile, "RenderTimeout", Rule::Copy, Answer::Value, "rendertimeout"},
        {"analysistime", Kind::Int, 60, Source::UserFile, "boxAnalysisTimeout", Rule::AtLeast30, Answer::Value, "analysistime"},
        {"rendertime", Kind::Int, 3000, Source::UserFile, "renderspinbox", Rule::Positive, Answer::Value, "rendertime"},
        {"renderflag", Kind::OnOff, true, Source::UserFile, "RadTellme", Rule::RenderFlag, Answer::Value, "renderflag"},
        {"checkcancel", Kind::OnOff, false, Source::UserFile, "ChkCancel", Rule::Copy, Answer::Value, "checkcancel"},
        {"reanalysis", Kind::OnOff, false, Source::UserFile, "ReAnalysis", Rule::Copy, Answer::Value, "reanalysis"},
        {"defaultdownloadpath", Kind::Text, QStringLiteral("/output/"), Source::PathLayers, "lineEdit_defaultDownloadPath", Rule::Copy, Answer::Value, "defaultdownloadpath"},
        {"defaultdownloadpathsuffix", Kind::Text, QString(), Source::PathLayers, "lineEdit_pathSuffix", Rule::Trimmed, Answer::Value, "defaultdownloadpathsuffix"},
        {"analysiscachepath", Kind::Text, QStringLiteral("/cache/"), Source::PathLayers, "lineEdit_analysisCachePath", Rule::Copy, Answer::Value, "analysiscachepath"},
        {"custompath", Kind::Text, QString(), Source::UserFile, nullptr, Rule::NotApplied, Answer::Value, "custompath"},
        {"autoinstallplugin", Kind::Int, 0, Source::DefaultFile, nullptr, Rule::NotApplied, Answer::Value, "autoinstallplugin"},
    };
    return options;
}

int kiv_general_options::indexOf(const QString& key)
{
    static const QHash<QString, int> indexes = [] {
        QHash<QString, int> result;
        for (int i = 0; i < table().size(); ++i)
            result.insert(QLatin1String(table().at(i).key), i);
        return result;
    }();
    return indexes.value(key, -1);
}

kiv_general_options::kiv_general_options()
    : m_values(table().size())
{
}

void kiv_general_options::resetToBuiltIn(const QString& userFolder)
{
    for (int i = 0; i < table().size(); ++i) {
        const Option& option = table().at(i);
        QVariant value = option.builtIn;
        if (option.source == Source::PathLayers && !value.toString().isEmpty())
            value = userFolder + value.toString();
        m_values[i] = normalized(option.kind, value);
    }
}

void kiv_general_options::setValue(int index, const QVariant& value)
{
    m_values[index] = normalized(table().at(index).kind, value);
}

bool kiv_general_options::flag(const char* key) const
{
    return m_values.at(indexOf(QLatin1String(key))).toBool();
}

int kiv_general_options::number(const char* key) const
{
    return m_values.at(indexOf(QLatin1String(key))).toInt();
}

QString kiv_general_options::text(const char* key) const
{
    return m_values.at(indexOf(QLatin1String(key))).toString();
}

void kiv_general_options::set(const char* key, const QVariant& value)
{
    setValue(indexOf(QLatin1String(key)), value);
}

QVariant kiv_general_options::normalized(Kind kind, const QVariant& value)
{
    switch (kind) {
    case Kind::OnOff:
        return value.toBool();
    case Kind::IntSwitch:
        return value.type() == QVariant::Bool ? value.toBool() : value.toInt() != 0;
    case Kind::Int:
        return value.toInt();
    case Kind::Text:
        break;
    }
    return value.toString();
}
