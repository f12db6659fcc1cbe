#pragma once

#include <QString>

// The exchange rate question's texts and the reading of its reply.
class ExchangeRate
{
public:
    static QString prompt() { return QStringLiteral("Tipo de Cambio:"); }
    static QString title() { return QStringLiteral("Dólar"); }

    // What a reply does to the rate.
    struct Reading
    {
        enum class Kind { Keep, Take, Refuse };
        Kind kind = Kind::Keep;
        double rate = 0; // Take: the new rate
        QString refusal; // Refuse: why, for the box before the question comes again
    };

    // The proposed reply: the rate the label shows, written back as plain number text.
    static QString proposed(const QString &labelCaption);
    // The reply must read wholly as a number by the regional rules (grouping accepted), above
    // zero: a figure read only in part would make every price a thousandth of what was meant.
    // An empty reply (Cancel among them) keeps the rate in force.
    static Reading read(const QString &reply);
    // The label's caption for a rate.
    static QString caption(double rate);
};
