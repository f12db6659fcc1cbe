#include "testlaptop.h"

#include "data/connection.h"
#include "data/serversettings.h"
#include "data/tables.h"
#include "data/transaction.h"
#include "testcluster.h"
#include "testcompanydatabase.h"

#include <QUuid>
#include <QtTest>

TestLaptop::TestLaptop(const TestCompanyDatabase &company, const QString &code)
{
    Connection connection(QStringLiteral("test-laptop-") + QUuid::createUuid().toString());
    if (!m_database.isValid() || connection.open(path()))
        return;
    ServerSettings settings;
    settings.host = TestCluster::current().socketFolder();
    settings.database = company.name();
    settings.salesperson = code;
    const MaybeError error = ServerSettings::write(connection, settings);
    if (error)
        qWarning() << error->description;
    m_valid = !error;
}

bool TestLaptop::addOrders(int first, int count, int lines, const QStringList &articles) const
{
    Connection connection(QStringLiteral("test-laptop-") + QUuid::createUuid().toString());
    if (connection.open(path()))
        return false;
    Transaction transaction(connection);
    MaybeError error = transaction.begin();
    int article = 0;
    for (int order = first; !error && order < first + count; ++order) {
        error = connection.execute(Tables::pedidos().insertStatement({QStringLiteral("NRO_PEDIDO"),
                                       QStringLiteral("FECHA"), QStringLiteral("CLIENTE")}),
            {order, QStringLiteral("2024-03-01"), QStringLiteral("Cliente %1").arg(order)});
        for (int line = 1; !error && line <= lines; ++line)
            error = connection.execute(Tables::lineasPedidos().insertStatement(),
                {order, line, articles.at(article++ % articles.size()), quantity(order, line), 10.5,
                    QStringLiteral("")});
    }
    if (!error)
        error = transaction.commit();
    if (error)
        qWarning() << error->description;
    return !error;
}
