#pragma once

#include <QString>
#include <QStringList>

class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSettings;

namespace Ui {
class wgtConfiguration;
}

// The two rate-controlled methods, ZFTX and Aspera, share one layout of
// options, keys and widgets; these helpers serve both.
namespace kiv_transfer_rates {

// The options of one rate-controlled method (ZFTX or Aspera).
struct RateOptions {
    int& uploadMode;
    double& uploadTargetRate;
    int& downloadMode;
    double& downloadTargetRate;
    QString& transferLink;
};

// The page of one rate-controlled method.
struct RatePage {
    QRadioButton* uploadFair;
    QRadioButton* uploadFixed;
    QRadioButton* downloadFair;
    QRadioButton* downloadFixed;
    QLabel* warning;
    QLabel* uploadMaximum;
    QLabel* downloadMaximum;
    QDoubleSpinBox* uploadRate;
    QDoubleSpinBox* downloadRate;
};

RatePage ZftxPage(Ui::wgtConfiguration* ui);
RatePage AsperaPage(Ui::wgtConfiguration* ui);

// Offered maxima come in KB/s; the page works in Mbps.
double KbpsToMbps(double kilobytesPerSecond);

// Modes other than 0 and 1 leave the buttons as they are.
void ShowRatePage(const RatePage& page, const RateOptions& options, double uploadMaximum, double downloadMaximum);
// Only the offered maxima, in the current language.
void ShowMaximum(const RatePage& page, double uploadMaximum, double downloadMaximum);
// Takes the page into the options and, when there is a file, into the
// current group of it under `prefix`.
void WriteRatePage(QSettings* file, const QString& prefix, const RatePage& page, const RateOptions& options,
                   const QString& line);
void ReadRateOptions(QSettings* file, const QString& prefix, const RateOptions& options);
// The keys that must all be in a section for it to be read for `prefix`.
QStringList RateKeys(const QString& prefix);

} // namespace kiv_transfer_rates
