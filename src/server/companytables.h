#pragma once

#include "data/tabledefinition.h"

#include <QList>

// The company database's tables, each defined once: the laptop's own (Tables) with what the
// server keeps besides (whose an order is, when it arrived and its fingerprint, the catalogue's
// change stamp, ...), and the server's own (the salespeople, the exports).
namespace CompanyTables {

const TableDefinition &schemaVersion();
const TableDefinition &articulos();
const TableDefinition &vendedores();
// One row per export for the office's own system; an order names the first that took it.
const TableDefinition &exportaciones();
const TableDefinition &pedidos();
const TableDefinition &lineasPedidos();

// Every table, in the order they are made.
QList<const TableDefinition *> all();

} // namespace CompanyTables
