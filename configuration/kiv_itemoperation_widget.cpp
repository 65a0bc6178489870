#include "kiv_itemoperation_widget.h"

#include "kiv_input_guard.h"
#include "ui_kiv_itemoperation_widget.h"

#include <QEvent>

kiv_itemoperation_widget::kiv_itemoperation_widget(QWidget* parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::kiv_itemoperation_widget>())
{
    ui->setupUi(this);
    connect(ui->BntDelete, &QPushButton::clicked, this, &kiv_itemoperation_widget::DeletItem);
    connect(ui->BntEdit, &QPushButton::clicked, this, &kiv_itemoperation_widget::EditItem);
    connect(ui->BntSetCurrentItem, &QPushButton::clicked, this, &kiv_itemoperation_widget::SetCurrentItem);
    kiv_input_guard::KeepOnlyDefault(this);
    ApplyTexts();
    ui->BntDelete->hide();
    ui->widget->hide();
}

kiv_itemoperation_widget::~kiv_itemoperation_widget() = default;

void kiv_itemoperation_widget::SetRowItem(QTableWidgetItem* item)
{
    m_rowItem = item;
}

QTableWidgetItem* kiv_itemoperation_widget::RowItem() const
{
    return m_rowItem;
}

QPushButton* kiv_itemoperation_widget::SetCurrentButton() const
{
    return ui->BntSetCurrentItem;
}

void kiv_itemoperation_widget::DeletItem()
{
    emit SigDeleteItem();
}

void kiv_itemoperation_widget::EditItem()
{
    emit SigEditItem();
}

void kiv_itemoperation_widget::SetCurrentItem()
{
    emit SigSetCurrentItem(ui->BntSetCurrentItem);
}

void kiv_itemoperation_widget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        ApplyTexts();
    }
    QWidget::changeEvent(event);
}

void kiv_itemoperation_widget::ApplyTexts()
{
    ui->BntDelete->setText(QObject::tr("Delete"));
    ui->BntEdit->setText(QObject::tr("Editor"));
    // The panel marks the current project's row by disabling its button, so
    // the button's own state says which text it must carry.
    const bool current = !ui->BntSetCurrentItem->isEnabledTo(this);
    ui->BntSetCurrentItem->setText(current ? QObject::tr("Current Project") : QObject::tr("Set Current"));
}
