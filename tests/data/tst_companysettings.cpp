#include "data/companysettings.h"

#include <QtTest>

// The counter rule itself is recorvan-db init's (tests/tools); here, the first order number a
// new database is given instead.
class tst_CompanySettings : public QObject
{
    Q_OBJECT

private slots:
    void firstOrderNumber_data();
    void firstOrderNumber();
};

void tst_CompanySettings::firstOrderNumber_data()
{
    QTest::addColumn<QString>("empresa");
    QTest::addColumn<QString>("primerPedido");
    QTest::addColumn<QString>("stored"); // company|salesperson|last order, or the refusal
    QTest::newRow("first order 1") << "Núñez S.A."
                                   << "1"
                                   << "Núñez S.A.|Ana|0";
    QTest::newRow("blank is the first of all") << "Núñez S.A."
                                               << ""
                                               << "Núñez S.A.|Ana|0";
    QTest::newRow("blanks around") << " Núñez S.A. "
                                   << " 100 "
                                   << "Núñez S.A.|Ana|99";
    QTest::newRow("largest") << "E"
                             << "2147483647"
                             << "E|Ana|2147483646";
    QTest::newRow("zero") << "E"
                          << "0"
                          << "El primer número de pedido debe ser un número entero mayor que cero, no '0'.";
    QTest::newRow("negative") << "E"
                              << "-5"
                              << "El primer número de pedido debe ser un número entero mayor que cero, no '-5'.";
    QTest::newRow("not a number") << "E"
                                  << "1a"
                                  << "El primer número de pedido debe ser un número entero mayor que cero, no '1a'.";
    QTest::newRow("past 32 bits") << "E"
                                  << "2147483648"
                                  << "El primer número de pedido debe ser un número entero mayor que cero, no "
                                     "'2147483648'.";
    QTest::newRow("no company") << " "
                                << "1"
                                << "Falta el nombre de la empresa.";
}

void tst_CompanySettings::firstOrderNumber()
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

QTEST_GUILESS_MAIN(tst_CompanySettings)
#include "tst_companysettings.moc"
