#include "kiv_camera_dialog.h"

#include "kiv_input_guard.h"
#include "ui_kiv_camera_dialog.h"

#include <QEvent>

kiv_camera_dialog::kiv_camera_dialog(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Class>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    ui->MoveTitle->setMoveTarget(this);
    connect(ui->BtnOk, &QPushButton::clicked, this, &kiv_camera_dialog::AddCamera);
    connect(ui->BtnClose, &QPushButton::clicked, this, &QDialog::close);
    kiv_input_guard::KeepOnlyDefault(this);
    RetranslateUi();
}

kiv_camera_dialog::~kiv_camera_dialog() = default;

void kiv_camera_dialog::AddCamera()
{
    close();
    emit SigAddCamera(ui->LineCamera->text());
}

void kiv_camera_dialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        // The form's own texts are placeholders; put the dialog's back.
        RetranslateUi();
    }
    QDialog::changeEvent(event);
}

void kiv_camera_dialog::RetranslateUi()
{
    ui->BtnOk->setText(tr("Create"));
    ui->LinTitle->setText(tr("New Camera"));
}
