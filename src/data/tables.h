#pragma once

#include "tabledefinition.h"

#include <QList>

// The tables of a Recorvan database, each defined once.
namespace Tables {

const TableDefinition &setup();
const TableDefinition &clientes();
const TableDefinition &articulos();
const TableDefinition &pedidos();
const TableDefinition &lineasPedidos();
const TableDefinition &schemaVersion();

// Every table, in the order they are created.
QList<const TableDefinition *> all();

} // namespace Tables
