#include "kiv_downloadpath.h"

#include "kiv_input_guard.h"
#include "kiv_window_chrome.h"
#include "ui_kiv_downloadpath.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLayout>
#include <QListWidgetItem>
#include <QMouseEvent>
#include <QRegExp>
#include <QRegExpValidator>

namespace {

const QLatin1String kCustomizeKey("Customize");

} // namespace

kiv_downloadpath::kiv_downloadpath(QStringList pattern, QString customText, QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::kiv_download_path>())
{
    ui->setupUi(this);
    // The frame is drawn inside a margin that leaves room for its shadow;
    // the minimum size is taken with that margin in place.
    kiv_window_chrome::applyFrameShadow(this, ui->widget_border);
    resize(minimumSizeHint());
    kiv_input_guard::KeepOnlyDefault(this);

    installEventFilter(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    RetranslateUi();
    setModal(true);
    m_chromeWidgets << ui->btn_close << ui->widget_main;
    for (QWidget* widget : qAsConst(m_chromeWidgets))
        widget->installEventFilter(this);

    m_previewPrefix = QStringLiteral("$(Output)/");

    // Queued: the list emits from inside its drop handling, and the preview
    // should read the order once the drop has completely settled.
    connect(ui->lwtVisible, &kiv_list_widget::stateChanged, this, &kiv_downloadpath::stateChanged,
            Qt::QueuedConnection);
    connect(ui->btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->btn_close, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->btn_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->lwtVisible, &QListWidget::itemChanged, this, &kiv_downloadpath::onItemChanged);
    // A click anywhere on an entry toggles it, not a press: pressing to drag
    // a checked entry into place must leave it checked. A press on the check
    // mark never reaches itemPressed, so the viewport reports every press.
    ui->lwtVisible->viewport()->installEventFilter(this);
    connect(ui->lwtVisible, &QListWidget::itemClicked, this, &kiv_downloadpath::ToggleClickedItem);

    // The custom text becomes part of a folder name: keep out the characters
    // that Windows refuses there. Slashes stay allowed, they open sub-folders.
    ui->lineEdit_custom->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral("[^(\\<>:\"*?|)]*"), Qt::CaseSensitive), ui->lineEdit_custom));

    FillTokens();
    m_pattern = pattern;
    ui->lineEdit_custom->setText(customText);

    FillList();
}

kiv_downloadpath::~kiv_downloadpath() = default;

QStringList kiv_downloadpath::ChoosePathSuffix()
{
    UpdatePreview();
    if (exec() != QDialog::Accepted)
        return m_pattern;

    QStringList keys;
    for (int row = 0; row < ui->lwtVisible->count(); ++row) {
        const QListWidgetItem* item = ui->lwtVisible->item(row);
        if (item->checkState() == Qt::Checked)
            keys << item->data(Qt::UserRole).toString();
    }
    return keys;
}

QString kiv_downloadpath::CustomText()
{
    return ui->lineEdit_custom->text().trimmed();
}

QStringList kiv_downloadpath::PatternKeys(const QString& text)
{
    return text.split(QLatin1Char('/'), Qt::SkipEmptyParts, Qt::CaseSensitive);
}

QString kiv_downloadpath::PatternText(const QStringList& keys)
{
    if (keys.isEmpty())
        return QString();
    return keys.join(QLatin1Char('/')) + QLatin1Char('/');
}

bool kiv_downloadpath::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->lwtVisible->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        onItemPressed(ui->lwtVisible->itemAt(static_cast<QMouseEvent*>(event)->pos()));
        return false;
    }
    // Without a window frame, stray double clicks and drags over the close
    // button and the body must not reach the dialog's own drag handling.
    if (m_chromeWidgets.contains(qobject_cast<QWidget*>(watched))) {
        if (event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::MouseMove)
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void kiv_downloadpath::mousePressEvent(QMouseEvent* event)
{
    m_dragOffset = event->globalPos() - pos();
    event->accept();
}

void kiv_downloadpath::mouseMoveEvent(QMouseEvent* event)
{
    move(event->globalPos() - m_dragOffset);
    event->accept();
}

void kiv_downloadpath::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        FillTokens();
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}

void kiv_downloadpath::onItemChanged(QListWidgetItem* item)
{
    if (!item)
        return;
    ShowCustomBoxFor(item);
    UpdatePreview();
}

void kiv_downloadpath::onItemPressed(QListWidgetItem* item)
{
    m_pressedItem = item;
    m_pressedState = item ? item->checkState() : Qt::Unchecked;
}

void kiv_downloadpath::ToggleClickedItem(QListWidgetItem* item)
{
    // The view toggles by itself a click on the check mark; the click must
    // not toggle it back.
    if (!item || item != m_pressedItem || item->checkState() != m_pressedState)
        return;
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void kiv_downloadpath::stateChanged()
{
    UpdatePreview();
}

void kiv_downloadpath::RetranslateUi()
{
    ui->lbl_text->setText(tr("Append download path"));
    ui->btn_ok->setText(tr("Ok"));
    ui->btn_cancel->setText(tr("Cancel"));
    for (int row = 0; row < ui->lwtVisible->count(); ++row) {
        QListWidgetItem* item = ui->lwtVisible->item(row);
        item->setText(TokenLabel(item->data(Qt::UserRole).toString()));
    }
}

void kiv_downloadpath::FillTokens()
{
    m_tokenLabels = QStringList{tr("Task Id"), tr("Task Name"), tr("Server Name"), tr("Customize")};
    m_tokenKeys = QStringList{QStringLiteral("Task Id"), QStringLiteral("Task Name"), QStringLiteral("Server Name"),
                              kCustomizeKey};
}

void kiv_downloadpath::FillList()
{
    const auto addEntry = [this](const QString& key, Qt::CheckState state) {
        // Text, mark and key go in before the entry joins the list, so that
        // filling the list emits no itemChanged.
        auto item = std::make_unique<QListWidgetItem>(TokenLabel(key));
        item->setCheckState(state);
        item->setData(Qt::UserRole, key);
        ui->lwtVisible->addItem(item.release());
    };

    for (const QString& key : qAsConst(m_pattern))
        addEntry(key, Qt::Checked);
    for (const QString& key : qAsConst(m_tokenKeys)) {
        if (!m_pattern.contains(key))
            addEntry(key, Qt::Unchecked);
    }
}

QString kiv_downloadpath::TokenLabel(const QString& key) const
{
    const int index = m_tokenKeys.indexOf(key);
    if (index >= 0 && index < m_tokenLabels.size())
        return m_tokenLabels.at(index);
    // Keys from the settings file that the table lacks keep their own name,
    // unless a translation knows them.
    return QCoreApplication::translate("kiv_downloadpath", key.toUtf8().constData());
}

void kiv_downloadpath::ShowCustomBoxFor(QListWidgetItem* item)
{
    if (item->data(Qt::UserRole).toString() == kCustomizeKey)
        ui->gbx_custom->setVisible(item->checkState() == Qt::Checked);
}

QString kiv_downloadpath::PreviewText() const
{
    QString text = m_previewPrefix;
    for (int row = 0; row < ui->lwtVisible->count(); ++row) {
        const QListWidgetItem* item = ui->lwtVisible->item(row);
        if (item->checkState() == Qt::Checked)
            text += QStringLiteral("$(") + item->data(Qt::UserRole).toString() + QStringLiteral(")/");
    }
    return text;
}

void kiv_downloadpath::UpdatePreview()
{
    ui->lineEdit_example->setText(PreviewText());
}
