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
// The company server as this laptop reaches it (one row, or none when there is no server).
const TableDefinition &servidor();
// The orders the company server has committed, with when, and those not to be sent.
const TableDefinition &envios();

// How the company's system writes the article list's figures and dates (one row, or none for the
// target machines' own writing).
const TableDefinition &formatoLista();

// A database converted from the older program has two more: the rows kept aside, and the
// conversion's report.
const TableDefinition &apartados();
const TableDefinition &conversion();

// Every table of every database, in the order they are created.
QList<const TableDefinition *> all();

} // namespace Tables
