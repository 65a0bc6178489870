#include "kiv_plugintutorial.h"
#include "kiv_logging.h"

#include "kiv_app_paths.h"
#include "kiv_input_guard.h"
#include "kiv_window_chrome.h"
#include "ui_kiv_plugintutorial.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QEvent>
#include <QLayout>
#include <QMovie>

namespace {
const QString kAnimation = QStringLiteral("skin/tutorial.gif");
}

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
    const int margin = kiv_window_chrome::shadowMargin();
    resize(minimumWidth() + margin, minimumHeight() + margin);
    kiv_window_chrome::applyFrameShadow(this, ui->widget_border);

    setAutoFillBackground(true);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::MSWindowsFixedSizeDialogHint
                   | Qt::WindowMinimizeButtonHint);

    connect(ui->lblTutorialMovie, &kiv_clicklabel::clicked, this, [] { qCDebug(kivPanel) << "movie clicked"; });
    connect(ui->btnClose, &QPushButton::clicked, this, &QDialog::close);
    kiv_input_guard::KeepOnlyDefault(this);

    const QString file = AnimationFile();
    if (file.isEmpty()) {
        // Say so rather than show an empty frame.
        ui->lblTutorialMovie->setAlignment(Qt::AlignCenter);
        ui->lblTutorialMovie->setWordWrap(true);
        const QString expected = QDir::toNativeSeparators(QDir::current().filePath(kAnimation));
        ui->lblTutorialMovie->setText(tr("The tutorial animation is missing:\n%1").arg(expected));
        return;
    }
    auto* movie = new QMovie(file, QByteArray(), this);
    ui->lblTutorialMovie->setMovie(movie);
    movie->start();
}

QString kiv_plugintutorial::AnimationFile()
{
    // The client starts from its own folder; a host started elsewhere still
    // has the skin folder beside its program.
    for (const QString& candidate :
         {QDir::current().filePath(kAnimation), kiv_app_paths::appDir() + QLatin1Char('/') + kAnimation}) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return QString();
}

kiv_plugintutorial::~kiv_plugintutorial() = default;

bool kiv_plugintutorial::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->btnClose && event->type() == QEvent::MouseMove)
        return true;
    return QDialog::eventFilter(watched, event);
}
