#pragma once

#include <QString>

// The exchange rate question's texts and the reading of its reply.
class ExchangeRate
{
public:
    static QString prompt() { return QStringLiteral("Tipo de Cambio:"); }
    static QString title() { return QStringLiteral("Dólar"); }

    // The proposed reply: the rate the label shows, written back as plain number text.
    static QString proposed(const QString &labelCaption);
    // The number the reply begins with, taking the point and also the regional decimal
    // separator as the decimal mark, so that accepting the proposed "3,15" on a
    // comma-decimal machine gives 3.15, not 3. No number (Cancel among them) gives 0.
    static double fromReply(const QString &reply);
    // The label's caption for a rate.
    static QString caption(double rate);
};
