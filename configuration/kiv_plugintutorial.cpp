#include "kiv_plugintutorial.h"

#include "kiv_window_chrome.h"
#include "ui_kiv_plugintutorial.h"

#include <QDebug>
#include <QEvent>
#include <QLayout>
#include <QMovie>

using kiv_window_chrome::kShadowMargin;

kiv_plugintutorial::kiv_plugintutorial(QWidget* parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::kiv_plugintutorial>())
{
    ui->setupUi(this);
    ui->gbx_title->setMoveTarget(this);

    // The close button sits on the title bar, which drags the dialog: mouse
    // moves over the button are kept from reaching it.
    ui->btnClose->installEventFilter(this);
    ui->lblTutorialIcon->hide();

    // Room around the frame for its drop shadow; the layout grows the dialog
    // to fit its contents when shown.
    resize(minimumWidth() + kShadowMargin, minimumHeight() + kShadowMargin);
    layout()->setContentsMargins(kShadowMargin, kShadowMargin, kShadowMargin, kShadowMargin);

    kiv_window_chrome::applyFrameShadow(this, ui->widget_border);

    setAutoFillBackground(true);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::MSWindowsFixedSizeDialogHint
                   | Qt::WindowMinimizeButtonHint);

    connect(ui->lblTutorialMovie, &kiv_clicklabel::clicked, this, [] { qDebug() << "movie clicked"; });
    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::close);

    auto* movie = new QMovie(QStringLiteral("./skin/tutorial.gif"), QByteArray(), this);
    ui->lblTutorialMovie->setMovie(movie);
    movie->start();
}

kiv_plugintutorial::~kiv_plugintutorial() = default;

bool kiv_plugintutorial::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->btnClose && event->type() == QEvent::MouseMove)
        return true;
    return QDialog::eventFilter(watched, event);
}
