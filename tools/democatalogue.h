#pragma once

#include "data/dberror.h"
#include "data/schema.h"

#include <QDate>
#include <QList>
#include <QVariantList>

class Connection;

// Rows to fill a database with: recorvan-db demo's catalogue, the benchmarks' large ones, the
// tests' customers and orders. All are written one way (write).
class DemoCatalogue
{
public:
    // Each row in the columns of its table's insert statement (Tables).
    QList<QVariantList> articles;
    QList<QVariantList> customers;
    QList<QVariantList> orders;
    QList<QVariantList> lines;

    // Hardware and plumbing articles and a dozen customers, to try the program with.
    static DemoCatalogue demo();
    // As many articles (codes A000000 on, descriptions of the trade's words) and customers (shops
    // of the trade in the towns a salesperson visits, with contacts, RUC and telephones) as asked.
    static DemoCatalogue synthetic(int articles, int customers);
    // Exactly this many customers: the ones held first, then synthetic ones.
    DemoCatalogue &withCustomers(int count);
    // A day of orders with every header text filled in, each line of an article of synthetic().
    DemoCatalogue &addDayOfOrders(const QDate &day, int orders, int linesPerOrder, int articles);
    // An order of the given lines, each {code, quantity, price, details}; the rest of its header NULL.
    DemoCatalogue &addOrder(int number, const QDate &day, const QString &customer, const QList<QVariantList> &lines);

    // Every row in one transaction, through the tables' own insert statements.
    MaybeError write(Connection &connection) const;
    // A new database file with the schema, the settings row and these rows.
    MaybeError createDatabase(const QString &path, const Schema::Settings &settings) const;
};
