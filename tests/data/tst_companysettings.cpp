#include "data/companysettings.h"

#include <QtTest>

// The settings row as typed: the last order number stored (the settings window, recorvan-db
// init), or the first one a new database is to give (the first start).
class tst_CompanySettings : public QObject
{
    Q_OBJECT

private slots:
    void typedSettings_data()
    {
        QTest::addColumn<QString>("empresa");
        QTest::addColumn<QString>("counter"); // "first N" for the first order number, else the last one
        QTest::addColumn<QString>("stored"); // company|salesperson|last order, or the refusal
        const auto row = [](const char *name, const char *empresa, const char *counter, const QString &stored) {
            QTest::newRow(name) << QString::fromUtf8(empresa) << QString(counter) << stored;
        };
        const QString first = "El primer número de pedido debe ser un número entero mayor que cero, no '%1'.";
        const QString last = "El último número de pedido debe ser un número entero no negativo, no '%1'.";
        row("blank last order is none", "E", "", "E|Ana|0");
        row("last order, blanks around", "E", " 41 ", "E|Ana|41");
        row("negative last order", "E", "-4", last.arg("-4"));
        row("last order not a number", "E", "x", last.arg("x"));
        row("last order that leaves one number", "E", "2147483646", "E|Ana|2147483646");
        row("last order that leaves none", "E", "2147483647",
            "El último número de pedido puede ser a lo sumo 2147483646: el pedido siguiente no tendría número.");
        row("blank first order is the first of all", "Núñez S.A.", "first ", "Núñez S.A.|Ana|0");
        row("first order, blanks around", " Núñez S.A. ", "first  100 ", "Núñez S.A.|Ana|99");
        row("first order not a number", "E", "first 1a", first.arg("1a"));
        row("first order past 32 bits", "E", "first 2147483648", first.arg("2147483648"));
        row("no company", " ", "first 1", "Falta el nombre de la empresa.");
    }

    void typedSettings()
    {
        QFETCH(QString, empresa);
        QFETCH(QString, counter);
        QString refusal;
        const std::optional<Schema::Settings> settings = counter.startsWith("first ")
            ? CompanySettings::validateWithFirstOrder(empresa, QStringLiteral("Ana"), counter.mid(6), &refusal)
            : CompanySettings::validate({empresa, QStringLiteral("Ana"), counter}, &refusal);
        const QString stored = settings
            ? QStringList{settings->empresa, settings->vendedor, settings->ultimoPedido.text()}.join('|')
            : refusal;
        QTEST(stored, "stored");
    }
};

QTEST_GUILESS_MAIN(tst_CompanySettings)
#include "tst_companysettings.moc"
