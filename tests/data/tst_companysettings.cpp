#include "data/companysettings.h"

#include <QtTest>

// The counter rule itself is recorvan-db init's (tests/tools); here, the first order number a
// new database is given instead.
class tst_CompanySettings : public QObject
{
    Q_OBJECT

private slots:
    void firstOrderNumber_data()
    {
        QTest::addColumn<QString>("empresa");
        QTest::addColumn<QString>("primerPedido");
        QTest::addColumn<QString>("stored"); // company|salesperson|last order, or the refusal
        const auto row = [](const char *name, const char *empresa, const char *primerPedido, const QString &stored) {
            QTest::newRow(name) << QString::fromUtf8(empresa) << QString(primerPedido) << stored;
        };
        const QString refusal = "El primer número de pedido debe ser un número entero mayor que cero, no '%1'.";
        row("blank is the first of all", "Núñez S.A.", "", "Núñez S.A.|Ana|0");
        row("blanks around", " Núñez S.A. ", " 100 ", "Núñez S.A.|Ana|99");
        row("not a number", "E", "1a", refusal.arg("1a"));
        row("past 32 bits", "E", "2147483648", refusal.arg("2147483648"));
        row("no company", " ", "1", "Falta el nombre de la empresa.");
    }

    void firstOrderNumber()
    {
        QFETCH(QString, empresa);
        QFETCH(QString, primerPedido);
        QString refusal;
        const std::optional<Schema::Settings> settings
            = CompanySettings::validateWithFirstOrder(empresa, QStringLiteral("Ana"), primerPedido, &refusal);
        const QString stored = settings
            ? QStringList{settings->empresa, settings->vendedor, QString::number(settings->ultimoPedido)}.join('|')
            : refusal;
        QTEST(stored, "stored");
    }
};

QTEST_GUILESS_MAIN(tst_CompanySettings)
#include "tst_companysettings.moc"
