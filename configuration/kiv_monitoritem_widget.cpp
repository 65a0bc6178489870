#include "kiv_monitoritem_widget.h"
#include "kiv_input_guard.h"
#include "kiv_logging.h"

#include "ui_kiv_monitoritem_widget.h"

#include <QDebug>
#include <QEvent>
#include <QFontMetrics>

namespace {

// Room taken by the add button and its gap while a table cell is hovered.
const int kAddButtonRoom = 30;

} // namespace

kiv_monitoritem_widget::kiv_monitoritem_widget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::WgtMonitor>())
{
    ui->setupUi(this);
    setMouseTracking(true);
    ui->BtnDelete->hide();
    ui->BtnAdd->hide();
    ui->widget_2->hide();
    connect(ui->BtnDelete, &QPushButton::clicked, this, &kiv_monitoritem_widget::DeletePath);
    connect(ui->BtnAdd, &QPushButton::clicked, this, &kiv_monitoritem_widget::AddPath);
    kiv_input_guard::KeepOnlyDefault(this);
    // An empty path cell of the version table is a target as a whole, as its hint says.
    kiv_input_guard::OpenOnBlankClick(
        this, [this] { return hoverEnabled && tableItem && fullText.trimmed().isEmpty(); }, [this] { AddPath(); });
}

kiv_monitoritem_widget::~kiv_monitoritem_widget() = default;

void kiv_monitoritem_widget::SetItem(QString text, QListWidgetItem* item)
{
    ui->MonitorPath->setText(text);
    listItem = item;
    ui->BtnDelete->setText(tr("Delete"));
    ui->BtnDelete->show();
    ui->horizontalLayout_5->setContentsMargins(5, 0, 10, 0);
}

void kiv_monitoritem_widget::SetCell(QString text, QTableWidgetItem* cell, int width)
{
    maxWidth = width;
    ui->MonitorPath->setText(Shortened(text, width));
    ui->horizontalLayout_5->setContentsMargins(5, 0, 0, 0);
    tableItem = cell;
    fullText = text;
    ui->BtnAdd->hide();
    ui->widget_2->hide();
}

void kiv_monitoritem_widget::SetFullText(QString text)
{
    ui->MonitorPath->setText(Shortened(text, maxWidth));
    fullText = text;
    ui->BtnAdd->hide();
}

void kiv_monitoritem_widget::SetHoverEnabled(bool enabled)
{
    hoverEnabled = enabled;
}

void kiv_monitoritem_widget::SetLabelWidth(int width)
{
    ui->MonitorPath->setFixedWidth(width);
}

QString kiv_monitoritem_widget::Text() const
{
    return ui->MonitorPath->text();
}

QListWidgetItem* kiv_monitoritem_widget::ListItem() const
{
    return listItem;
}

QTableWidgetItem* kiv_monitoritem_widget::TableItem() const
{
    return tableItem;
}

void kiv_monitoritem_widget::ResizeWidget(int section, int oldWidth, int newWidth)
{
    Q_UNUSED(oldWidth)
    if (section != 1)
        return;
    qCDebug(kivLayout) << "newsize=" << newWidth;
    maxWidth = newWidth;
    ui->MonitorPath->setText(Shortened(fullText, maxWidth));
}

void kiv_monitoritem_widget::AddPath()
{
    emit sigAddPath();
}

void kiv_monitoritem_widget::DeletePath()
{
    emit sigDeletePath();
}

void kiv_monitoritem_widget::enterEvent(QEvent* event)
{
    if (!hoverEnabled)
        return;
    ui->MonitorPath->setText(Shortened(fullText, maxWidth - kAddButtonRoom));
    ui->BtnAdd->show();
    ui->widget_2->show();
    QWidget::enterEvent(event);
}

void kiv_monitoritem_widget::leaveEvent(QEvent* event)
{
    if (!hoverEnabled)
        return;
    ui->BtnAdd->hide();
    ui->widget_2->hide();
    ui->BtnDelete->hide();
    ui->MonitorPath->setText(Shortened(fullText, maxWidth));
    QWidget::leaveEvent(event);
}

void kiv_monitoritem_widget::changeEvent(QEvent* event)
{
    // A list row's delete button follows the language; nothing else of the
    // row depends on language or style changes.
    if (event->type() == QEvent::LanguageChange && listItem)
        ui->BtnDelete->setText(tr("Delete"));
    QWidget::changeEvent(event);
}

QString kiv_monitoritem_widget::Shortened(const QString& text, int width) const
{
    const QFontMetrics metrics = ui->MonitorPath->fontMetrics();
    qCDebug(kivLayout) << "max size:" << width << "font height =" << metrics.height();
    return metrics.elidedText(text, Qt::ElideRight, width, Qt::TextShowMnemonic);
}
