#pragma once

#include <QString>

// The run-wide settings, set once at start-up. Only the last order number changes
// afterwards, when a confirmed order advances the counter.
extern QString strRutaBase; // full path of the database file
extern QString strConexion; // connection string of the database
extern QString strEMPRESA; // company name
extern QString strRECORVAN; // salesperson's name
extern QString strULTIMO_PEDIDO; // number of the last stored order, as text
