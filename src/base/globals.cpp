#include "globals.h"

QString strRutaBase;
QString strConexion;
QString strEMPRESA;
QString strRECORVAN;
QString strULTIMO_PEDIDO;
