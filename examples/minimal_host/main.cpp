// A minimal host of the settings panel: it constructs the panel with the host
// library stand-ins, sets a user, feeds a sub-center offer, opens the panel
// and prints the signals it receives.
//   minimal_host [--auto-apply]
// --auto-apply toggles "chkAutoDown", presses "btnApply" and exits with 0
// once the panel has applied and closed. KIV_APP_DIR and KIV_USER_APP_PATH
// default to a temporary folder, so that no real client's files are touched.

#include <kiv_configuration_version.h>
#include <kiv_configuration_widget.h>
#include <kiv_http.h>

#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir sandbox;
    for (const char* name : {"KIV_APP_DIR", "KIV_USER_APP_PATH"}) {
        if (qEnvironmentVariableIsEmpty(name))
            qputenv(name, QFile::encodeName(sandbox.filePath(QString::fromLatin1(name))));
    }
    std::printf("panel %s, built against %s\n", qPrintable(kiv_configuration_widget::LibraryVersion()),
                KIV_CONFIGURATION_VERSION_STRING);

    kiv_general_types::GeneralSet general; // the panel keeps a reference: it must outlive the panel
    kiv_http http;                         // the host's HTTP client, used for plugin updates
    kiv_configuration_widget panel(general, &http);

    kiv_general_types::AuthSet::LoginInfo user;
    user.userId = QStringLiteral("1001");
    user.userName = QStringLiteral("minimal_host");
    panel.SetCurrentUserInfo(user);
    // The current sub-center offers ZFTX, with its maximum speeds.
    const QVariantMap zftx{{QStringLiteral("max_upload_speed"), 12800}, {QStringLiteral("max_download_speed"), 25600}};
    panel.CurrentSubCenterChanged({{QStringLiteral("TRANSMISSION_TYPE_ZFTX"), zftx}});

    QObject::connect(&panel, &kiv_configuration_widget::sigConfChanged, [] { std::printf("sigConfChanged\n"); });
    QObject::connect(&panel, &kiv_configuration_widget::SigZftxParams, [](const ZftxTransConfig& config) {
        std::printf("SigZftxParams uploadMethod=%d downloadMethod=%d\n", config.uploadMethod, config.downloadMethod);
    });

    int status = 0;
    if (app.arguments().contains(QStringLiteral("--auto-apply"))) {
        // ShowConf runs a modal loop; a zero timer set now fires inside it.
        QTimer::singleShot(0, &panel, [&panel, &status] {
            auto* option = panel.findChild<QAbstractButton*>(QStringLiteral("chkAutoDown"));
            auto* apply = panel.findChild<QAbstractButton*>(QStringLiteral("btnApply"));
            if (option && apply) {
                option->click();
                apply->click(); // writes the settings, signals and closes the panel
            }
            if (panel.isVisible()) { // not applied: a missing control or a failed save
                status = 1;
                panel.reject();
            }
        });
    }
    panel.ShowConf(false);
    return status;
}
