#include "democatalogue.h"

#include "data/connection.h"
#include "data/tables.h"
#include "data/transaction.h"

#include <QStringList>

#include <iterator>

namespace {

struct Family
{
    const char *prefix;
    const char *maker;
    const char *description;
    double basePrice;
};

// Hardware and plumbing, the kind of catalogue a travelling salesperson carries.
const Family families[] = {
    {"CAN", "TIG", "Caño de PVC %1 x 6 m", 4.80},
    {"COD", "TIG", "Codo de PVC 90° %1", 0.35},
    {"TEE", "TIG", "Tee de PVC %1", 0.42},
    {"LLV", "FV", "Llave de paso esférica %1", 6.90},
    {"GRI", "FV", "Grifería monocomando cocina %1", 38.50},
    {"VAL", "GEN", "Válvula de retención %1", 9.75},
    {"CAÑ", "ACQ", "Cañería de cobre %1 por metro", 7.20},
    {"TOR", "FIX", "Tornillo autoperforante %1 (caja x 100)", 3.10},
    {"TAR", "FIX", "Tarugo de nailon %1 (bolsa x 50)", 1.25},
    {"CIN", "3M", "Cinta aisladora %1", 0.95},
    {"CAB", "PIR", "Cable unipolar %1 por rollo de 100 m", 42.00},
    {"INT", "SIE", "Interruptor termomagnético %1", 11.60},
    {"LAM", "PHI", "Lámpara LED %1 luz cálida", 2.40},
    {"PIN", "ALB", "Pintura látex interior %1", 18.90},
    {"BRO", "BAH", "Broca para hormigón %1", 1.70},
    {"MAN", "GEN", "Manguera de jardín reforzada %1", 12.30},
    {"SIL", "SIS", "Silicona acética transparente %1", 3.60},
    {"CER", "TRA", "Cerradura de seguridad %1", 24.50},
    {"BIS", "HAF", "Bisagra de acero inoxidable %1", 1.10},
    {"ÑAN", "ÑAN", "Adhesivo Ñandú de contacto %1", 2.90},
};

const char *const sizes[] = {"1/2\"", "3/4\"", "1\"", "1 1/4\"", "1 1/2\"", "2\"", "nº 6", "nº 8", "nº 10", "4 mm",
    "6 mm", "8 mm", "10 mm", "12 mm", "20 mm"};

struct Customer
{
    const char *nombre;
    const char *direccion;
    const char *ruc;
    const char *telefono;
    const char *contacto;
    const char *email;
};

const Customer demoCustomers[] = {
    {"Ferretería El Tornillo", "Av. Mariscal López 1234, Asunción", "80012345-6", "(021) 555-1234", "Jorge Benítez",
        "compras@eltornillo.com.py"},
    {"Sanitarios Núñez S.R.L.", "Calle España 455, San Lorenzo", "80023456-1", "(021) 585-200", "María Núñez",
        "maria@sanitariosnunez.com"},
    {"Construcciones Ñandutí", "Ruta 2 km 18, Capiatá", "80034567-2", "(0228) 63-410", "Pedro Acuña",
        "pedidos@nanduti.com.py"},
    {"Electricidad Peña", "Av. Eusebio Ayala 2020, Asunción", "80045678-3", "(021) 220-330", "Lucía Peña",
        "lpena@elpena.com"},
    {"Pinturería Arco Iris", "Mcal. Estigarribia 87, Luque", "80056789-4", "(021) 642-118", "Ramón Giménez",
        "ventas@arcoiris.com.py"},
    {"Corralón San José", "Av. Fernando de la Mora 3100", "80067890-5", "(021) 501-777", "José Ortiz",
        "jose@corralonsanjose.com"},
    {"Agro Insumos del Este", "Supercarretera km 4, Ciudad del Este", "80078901-6", "(061) 570-900", "Ana Fleitas",
        "ana@agroeste.com.py"},
    {"Hogar y Obra", "Calle Palma 640, Asunción", "80089012-7", "(021) 494-040", "Carlos Duarte",
        "cduarte@hogaryobra.com"},
    {"Bazar La Económica", "Av. Artigas 1500, Asunción", "80090123-8", "(021) 290-455", "Rosa Cáceres",
        "laeconomica@correo.com.py"},
    {"Materiales O'Higgins", "Av. O'Higgins 980, Encarnación", "80001234-9", "(071) 203-300", "Martín Ríos",
        "compras@ohiggins.com.py"},
    {"Plomería Rápida", "Tte. Fariña 322, Fernando de la Mora", "80011223-0", "(021) 672-889", "Diego Báez",
        "plomeria.rapida@correo.com"},
    {"Taller Mecánico Álvarez", "Calle Cerro Corá 45, Villarrica", "80022334-1", "(0541) 42-600", "Sofía Álvarez",
        "taller.alvarez@correo.com.py"},
};

// The words the synthetic catalogue's descriptions are made of, accents and ñ among them.
const char *const words[] = {"caño", "codo", "válvula", "llave", "tornillo", "tarugo", "cinta", "cable", "lámpara",
    "pintura", "broca", "manguera", "silicona", "cerradura", "bisagra", "adhesivo", "ÑANDÚ", "grifería", "DESCRIPCIÓN",
    "acero", "bronce", "PVC"};
constexpr int wordCount = int(sizeof(words) / sizeof(words[0]));

// What the synthetic customers are made of: a shop of the trade, a family name and a town.
const char *const shopKinds[]
    = {"Ferretería", "Sanitarios", "Pinturería", "Corralón", "Electricidad", "Materiales", "Bazar", "Plomería",
        "Agroinsumos", "Construcciones", "Taller", "Distribuidora", "Maderera", "Vidriería", "Cerrajería", "Bulonera"};
const char *const familyNames[] = {"Benítez", "Núñez", "Peña", "Giménez", "Ortiz", "Fleitas", "Duarte", "Cáceres",
    "Ríos", "Báez", "Álvarez", "Acuña", "González", "Martínez", "Ramírez", "Villalba", "Ayala", "Espínola", "Sosa",
    "Cabañas", "Ibáñez", "López", "Rojas", "Zárate", "Insfrán", "Cardozo", "Galeano", "Franco", "Meza", "Riquelme",
    "Chamorro", "Ocampos"};
const char *const towns[]
    = {"Asunción", "Luque", "Capiatá", "San Lorenzo", "Encarnación", "Villarrica", "Ciudad del Este", "Caacupé",
        "Itauguá", "Limpio", "Ñemby", "Lambaré", "Areguá", "Pilar", "Concepción", "Coronel Oviedo", "Itá", "Paraguarí",
        "San Bernardino", "Yaguarón", "Caaguazú", "Hernandarias", "Mariano Roque Alonso", "Villa Elisa"};
const char *const givenNames[] = {"Jorge", "María", "Pedro", "Lucía", "Ramón", "José", "Ana", "Carlos", "Rosa",
    "Martín", "Diego", "Sofía", "Íñigo", "Mónica", "Raúl", "Andrés", "Zulma", "Gladys", "Óscar", "Begoña"};
const char *const streets[] = {"Av. Mariscal López", "Calle España", "Av. Eusebio Ayala", "Av. Artigas",
    "Mcal. Estigarribia", "Calle Palma", "Cerro Corá", "Tte. Fariña"};

template <typename T, size_t N> QString pickOf(const T (&list)[N], int index)
{
    return QString::fromUtf8(list[size_t(index) % N]);
}

QVariantList syntheticCustomer(int i)
{
    constexpr int kinds = int(std::size(shopKinds));
    constexpr int families = int(std::size(familyNames));
    constexpr int places = int(std::size(towns));
    constexpr int distinct = kinds * families * places;
    QString nombre
        = QStringLiteral("%1 %2 - %3")
              .arg(pickOf(shopKinds, i), pickOf(familyNames, i / kinds), pickOf(towns, i / (kinds * families)));
    if (i >= distinct)
        nombre += QStringLiteral(" (sucursal %1)").arg(i / distinct + 1);
    return {nombre, QStringLiteral("%1 %2").arg(pickOf(streets, i * 3)).arg(100 + (i * 37) % 4900),
        QStringLiteral("8%1-%2").arg(i + 1000000, 7, 10, QLatin1Char('0')).arg(i * 7 % 10),
        QStringLiteral("(021) %1-%2").arg(200 + (i * 13) % 800).arg(i % 1000, 3, 10, QLatin1Char('0')),
        QStringLiteral("%1 %2").arg(pickOf(givenNames, i * 7), pickOf(familyNames, i * 11 + i / 7)),
        QStringLiteral("ventas%1@correo.com.py").arg(i)};
}

QString syntheticCode(int article)
{
    return QStringLiteral("A%1").arg(article, 6, 10, QLatin1Char('0'));
}

MaybeError insertAll(Connection &connection, const QString &statement, const QList<QVariantList> &rows)
{
    for (const QVariantList &row : rows) {
        if (MaybeError error = connection.execute(statement, row))
            return error;
    }
    return std::nullopt;
}

} // namespace

DemoCatalogue DemoCatalogue::demo()
{
    DemoCatalogue catalogue;
    const QDate updated(2026, 11, 2);
    int serial = 0;
    for (const Family &family : families) {
        int step = 0;
        for (const char *size : sizes) {
            ++serial;
            ++step;
            const QString code
                = QStringLiteral("%1%2").arg(QString::fromUtf8(family.prefix)).arg(step, 3, 10, QLatin1Char('0'));
            const QString makerCode
                = QStringLiteral("%1-%2").arg(QString::fromUtf8(family.maker)).arg(1000 + serial * 7);
            const QString description = QString::fromUtf8(family.description).arg(QString::fromUtf8(size));
            // A few articles wait for a price and some are out of stock, as in a real catalogue.
            const QVariant price = serial % 23 == 0 ? QVariant() : QVariant(family.basePrice * (1.0 + step * 0.15));
            const int stock = serial % 11 == 0 ? 0 : (serial * 37) % 240;
            catalogue.articles << QVariantList{
                code, makerCode, description, stock, price, updated.addDays(-(serial % 90)).toString(Qt::ISODate)};
        }
    }
    for (const Customer &c : demoCustomers)
        catalogue.customers << QVariantList{QString::fromUtf8(c.nombre), QString::fromUtf8(c.direccion),
            QString::fromUtf8(c.ruc), QString::fromUtf8(c.telefono), QString::fromUtf8(c.contacto),
            QString::fromUtf8(c.email)};
    return catalogue;
}

DemoCatalogue DemoCatalogue::synthetic(int articles, int customers)
{
    DemoCatalogue catalogue;
    catalogue.articles.reserve(articles);
    for (int i = 0; i < articles; ++i) {
        const QString description
            = QStringLiteral("%1 %2 %3 modelo %4")
                  .arg(QString::fromUtf8(words[i % wordCount]), QString::fromUtf8(words[(i / wordCount) % wordCount]),
                      QString::fromUtf8(words[(i / 7) % wordCount]))
                  .arg(i);
        catalogue.articles << QVariantList{syntheticCode(i), QStringLiteral("F-%1").arg(i * 3), description, i % 300,
            1.5 + (i % 997) * 0.25, QStringLiteral("2026-11-01")};
    }
    return catalogue.withCustomers(customers);
}

DemoCatalogue &DemoCatalogue::withCustomers(int count)
{
    if (customers.size() > count)
        customers.resize(count);
    customers.reserve(count);
    for (int i = int(customers.size()); i < count; ++i)
        customers << syntheticCustomer(i);
    return *this;
}

DemoCatalogue &DemoCatalogue::addDayOfOrders(const QDate &day, int count, int linesPerOrder, int articleCount)
{
    for (int order = 1; order <= count; ++order) {
        orders << QVariantList{order, day.toString(Qt::ISODate), QStringLiteral("Cliente número %1 S.R.L.").arg(order),
            QStringLiteral("Avda. Mariscal López %1").arg(order * 7), QStringLiteral("80012%1-3").arg(order),
            QStringLiteral("021-55%1").arg(order), QStringLiteral("Sr. Contacto %1").arg(order),
            QStringLiteral("compras%1@cliente.com.py").arg(order), QStringLiteral("Transporte propio"),
            QStringLiteral("Contado, 30 días"), QStringLiteral("Entregar por la mañana")};
        for (int n = 1; n <= linesPerOrder; ++n)
            lines << QVariantList{order, n, syntheticCode((order * 37 + n * 101) % articleCount), 1 + (order + n) % 12,
                1.5 + ((order * n) % 997) * 0.25, n % 3 ? QString() : QStringLiteral("embalaje reforzado")};
    }
    return *this;
}

DemoCatalogue &DemoCatalogue::addOrder(
    int number, const QDate &day, const QString &customer, const QList<QVariantList> &orderLines)
{
    QVariantList header(Tables::pedidos().columnNames().size());
    header[0] = number;
    header[1] = day.toString(Qt::ISODate);
    header[2] = customer;
    orders << header;
    int n = 0;
    for (const QVariantList &line : orderLines)
        lines << QVariantList{number, ++n, line.value(0), line.value(1), line.value(2), line.value(3)};
    return *this;
}

MaybeError DemoCatalogue::write(Connection &connection) const
{
    Transaction transaction(connection);
    if (MaybeError error = transaction.begin())
        return error;
    if (MaybeError error = insertAll(connection, Tables::articulos().insertStatement(), articles))
        return error;
    if (MaybeError error = insertAll(connection, Tables::clientes().insertStatement(), customers))
        return error;
    if (MaybeError error = insertAll(connection, Tables::pedidos().insertStatement(), orders))
        return error;
    if (MaybeError error = insertAll(connection, Tables::lineasPedidos().insertStatement(), lines))
        return error;
    return transaction.commit();
}

MaybeError DemoCatalogue::createDatabase(const QString &path, const Schema::Settings &settings) const
{
    Connection connection(QStringLiteral("demo-catalogue"));
    if (MaybeError error = connection.create(path))
        return error;
    if (MaybeError error = Schema::createWithSettings(connection, settings))
        return error;
    return write(connection);
}
