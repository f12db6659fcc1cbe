#pragma once

// The columns of the desk's two grids, named once for every class that reads or fills them.

// gridCompras, the order in progress: one row is one order line.
enum class OrderColumn { Descripcion, Cantidad, PUnitario, Total, Codigo, Observaciones, CodFabrica, Count };

// gridEncontrados, the articles found by the search.
enum class FoundColumn { Codigo, CodFabrica, Descripcion, Stock, Precio, Count };

constexpr int column(OrderColumn c)
{
    return int(c);
}

constexpr int column(FoundColumn c)
{
    return int(c);
}
