#pragma once

#include "kiv_general_types.h"
#include "kiv_transfer_options.h"
#include "kiv_zftx_types.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariantMap>

class QJsonDocument;

// The transfer record the host's transfer engine receives, built from the
// user's options and what the host handed in, and the decoding of the
// Aspera account that comes with it.
namespace kiv_transfer_record {

struct Inputs {
    const TransferOptions& options;
    const kiv_general_types::AuthSet::LoginInfo& login;
    const QString& userId;
    const QString& userName;
    // Method to line name to address.
    const QMap<QString, QVariantMap>& lines;
    const QString& asperaUser;
    const QString& asperaSecret;
};

ZftxTransConfig Build(const Inputs& inputs);

// The address of a method's line; an unknown name takes the method's first
// line, and no lines give an empty text.
QString ResolveLine(const QMap<QString, QVariantMap>& lines, const QString& type, const QString& lineName);

// The account's secret as the service scrambles it for `userName`.
QString DecodeAsperaSecret(const QString& scrambled, const QString& userName);

// The credential document with its secret masked, for the debug output.
QByteArray MaskedDocument(const QJsonDocument& document);

} // namespace kiv_transfer_record
