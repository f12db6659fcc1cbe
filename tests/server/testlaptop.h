#pragma once

#include "support/testdatabase.h"

#include <QStringList>

class TestCompanyDatabase;

// A salesperson's own database.mdb, set up to send to a company database of the test cluster
// (its password comes from the password file, see TestCompanyDatabase::usePasswordFile), with
// confirmed orders written straight into it.
class TestLaptop
{
public:
    TestLaptop(const TestCompanyDatabase &company, const QString &code);

    bool isValid() const { return m_valid; }
    const TestDatabase &database() const { return m_database; }
    QString path() const { return m_database.path(); }

    // `count` orders numbered from `first`, each of `lines` lines over the articles in turn;
    // line n of order k asks for 1 + (k + n) % 3.
    bool addOrders(int first, int count, int lines, const QStringList &articles) const;
    static int quantity(int order, int line) { return 1 + (order + line) % 3; }

private:
    TestDatabase m_database;
    bool m_valid = false;
};
