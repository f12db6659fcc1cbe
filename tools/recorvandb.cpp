// recorvan-db: creates, fills and checks Recorvan databases from the command line.

#include "base/dialogs.h"
#include "base/privatefiles.h"
#include "base/regional.h"
#include "base/version.h"
#include "data/articlelist.h"
#include "data/companysettings.h"
#include "data/connection.h"
#include "data/databaseaside.h"
#include "data/salespersoncode.h"
#include "data/schema.h"
#include "data/serversettings.h"
#include "data/tables.h"
#include "legacy/jetsource.h"
#include "legacy/legacyconverter.h"
#include "passwordprompt.h"
#include "report/pdfexportfilter.h"
#include "report/rptorden.h"
#include "server/catalogueload.h"
#include "server/companyexport.h"
#include "server/companyschema.h"
#include "server/ordersender.h"
#include "server/receivedorders.h"
#include "server/salespeople.h"
#include "server/serverconnection.h"
#include "server/servererrornumber.h"
#include "terminaldialogs.h"
#include "tools/democatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QProcess>
#include <QStringList>
#include <QTextStream>

#include <cstdio>
#include <memory>

#include <unistd.h>

namespace {

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// The commands and what their exit statuses mean: asked for (--help) on the standard output
// with status 0, after a wrong call on the error output with status 2.
int usage(bool asked = false)
{
    QTextStream &shown = asked ? out() : err();
    shown << "Uso:\n"
             "  recorvan-db init ARCHIVO --empresa NOMBRE --vendedor NOMBRE [--ultimo-pedido N]\n"
             "  recorvan-db demo ARCHIVO [--clientes N]\n"
             "  recorvan-db check ARCHIVO\n"
             "  recorvan-db migrate [--progreso] ANTERIOR.mdb NUEVA.mdb\n"
             "  recorvan-db server-init URL\n"
             "  recorvan-db server-add-salesperson URL CODIGO NOMBRE [--usuario USUARIO]\n"
             "  recorvan-db server-load URL ARCHIVO.dat [--formato es|en]\n"
             "  recorvan-db server-send ARCHIVO\n"
             "  recorvan-db server-report URL (--fecha DD/MM/AAAA | --desde DD/MM/AAAA --hasta DD/MM/AAAA)\n"
             "                            [--vendedor CODIGO] ARCHIVO.pdf\n"
             "  recorvan-db server-export URL ARCHIVO.csv [--todas | --desde DD/MM/AAAA]\n"
             "  recorvan-db server-salespeople URL\n"
             "  recorvan-db server-disable-salesperson URL CODIGO\n"
             "  recorvan-db server-enable-salesperson URL CODIGO\n"
             "  recorvan-db server-password URL CODIGO\n"
             "  recorvan-db --version\n"
             "  recorvan-db --help\n"
             "migrate sale con 3 cuando convirtió pero faltan filas que el archivo dañado no dejó leer;\n"
             "server-load sale con 3 cuando dejó fuera registros de la lista; --formato dice cómo escribe la\n"
             "lista números y fechas: es (1.234,50 y 20/08/2004, el predeterminado) o en (1,234.50 y 08/20/2004).\n"
             "server-report sale con 2 cuando no hay órdenes en esas fechas (y no escribe el archivo).\n"
             "URL es la dirección de la base de datos de la empresa, p. ej. "
             "postgresql:///recorvan?host=/run/postgresql\n";
    shown.flush();
    return asked ? 0 : 2;
}

int fail(const QString &file, const DbError &error)
{
    err() << QDir::toNativeSeparators(file) << ": " << error.text() << "\n";
    err().flush();
    return 1;
}

// Creates the file with the schema, its one settings row and the rows given; the file is removed
// again when anything fails, so a half-made database is never left behind.
int createDatabase(const QString &file, const Schema::Settings &settings, const DemoCatalogue *rows)
{
    Connection connection(QStringLiteral("recorvan-db"));
    if (MaybeError error = connection.create(file))
        return fail(file, *error);
    MaybeError error = Schema::createWithSettings(connection, settings);
    if (!error && rows)
        error = rows->write(connection);
    connection.close();
    if (error) {
        QFile::remove(file);
        return fail(file, *error);
    }
    out() << QDir::toNativeSeparators(file) << ": base de datos creada.\n";
    return 0;
}

// Takes the "--name value" options out of args, each known and given at most once: a second one
// would silently win over the first. What is left are the command's own arguments. The exit
// status when the options cannot stand.
std::optional<int> takeOptions(QStringList &args, const QStringList &known, QHash<QString, QString> &values)
{
    for (qsizetype i = 0; i < args.size();) {
        const QString option = args.at(i);
        if (!option.startsWith(QLatin1String("--"))) {
            ++i;
            continue;
        }
        if (!known.contains(option) || i + 1 >= args.size())
            return usage();
        if (values.contains(option)) {
            err() << "La opción " << option << " se dio más de una vez.\n";
            err().flush();
            return 2;
        }
        values.insert(option, args.at(i + 1));
        args.remove(i, 2);
    }
    return std::nullopt;
}

int init(QStringList args)
{
    QHash<QString, QString> options;
    if (std::optional<int> refused = takeOptions(args, {"--empresa", "--vendedor", "--ultimo-pedido"}, options))
        return *refused;
    if (args.size() != 1)
        return usage();
    const CompanySettings::Typed typed{
        options.value("--empresa"), options.value("--vendedor"), options.value("--ultimo-pedido")};
    if (!options.contains("--empresa") || !options.contains("--vendedor")) {
        err() << "Hacen falta --empresa y --vendedor.\n";
        return usage();
    }
    QString refusal;
    const std::optional<Schema::Settings> settings = CompanySettings::validate(typed, &refusal);
    if (!settings) {
        err() << refusal << "\n";
        return 2;
    }
    return createDatabase(args.first(), *settings, nullptr);
}

int demo(QStringList args)
{
    QHash<QString, QString> options;
    if (std::optional<int> refused = takeOptions(args, {"--clientes"}, options))
        return *refused;
    if (args.size() != 1)
        return usage();
    DemoCatalogue rows = DemoCatalogue::demo();
    if (options.contains("--clientes")) {
        // Enough for any salesperson's round, and for trying the customer search at scale.
        constexpr int mostCustomers = 1000000;
        bool isNumber = false;
        const int count = options.value("--clientes").toInt(&isNumber);
        if (!isNumber || count < 0 || count > mostCustomers) {
            err() << "--clientes espera un número entero de 0 a " << mostCustomers << ".\n";
            return 2;
        }
        rows.withCustomers(count);
    }
    return createDatabase(args.first(),
        {QStringLiteral("Distribuidora del Sur S.A."), QStringLiteral("Carlos Giménez"), OrderNumber(0)}, &rows);
}

int check(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    const QString &file = args.first();
    if (Connection::fileKind(file) == Connection::FileKind::Jet) {
        err() << QDir::toNativeSeparators(file)
              << ": es una base de datos de Access del programa anterior; hay que convertirla con\n"
                 "  recorvan-db migrate \""
              << QDir::toNativeSeparators(file) << "\" NUEVA.mdb\n";
        err().flush();
        return 1;
    }
    Connection connection(QStringLiteral("recorvan-db"));
    if (MaybeError error = connection.open(file, Connection::Mode::Inspect))
        return fail(file, *error);
    if (MaybeError error = Schema::check(connection))
        return fail(file, *error);

    int counts[3] = {0, 0, 0};
    const TableDefinition *counted[3] = {&Tables::articulos(), &Tables::clientes(), &Tables::pedidos()};
    for (int i = 0; i < 3; ++i) {
        RowSet rows;
        if (MaybeError error = connection.select(counted[i]->countStatement(), {}, rows))
            return fail(file, *error);
        counts[i] = rows.value(0, QStringLiteral("N")).toInt();
    }
    std::optional<Schema::StoredSettings> setup;
    if (MaybeError error = Schema::readSettings(connection, setup))
        return fail(file, *error);
    if (!setup)
        return fail(file, {DbErrorNumber::Generic, QStringLiteral("La tabla SETUP no tiene la fila de la empresa.")});

    out() << QDir::toNativeSeparators(file) << ": base de datos de Recorvan utilizable.\n"
          << "  Empresa: " << setup->empresa << "\n"
          << "  Vendedor: " << setup->vendedor << "\n"
          << "  Último pedido: " << setup->ultimoPedido << "\n"
          << "  Artículos: " << counts[0] << ", clientes: " << counts[1] << ", pedidos: " << counts[2] << "\n";
    // Left as it is (it may be shared on purpose), but said: it holds customers, orders and prices.
    if (const QString mode = PrivateFiles::looseMode(file); !mode.isEmpty())
        out() << "  Aviso: otros usuarios de este equipo tienen acceso al archivo (permisos " << mode
              << "). Para que sea solo suyo: chmod 600 \"" << QDir::toNativeSeparators(file) << "\"\n";
    return 0;
}

// The conversion itself, in the process that reads the old file. With `progress`, each step is
// also written as a line "progreso<TAB>percent<TAB>step" for the program's progress window.
int convertHere(const QString &oldFile, const QString &newFile, bool progress)
{
    JetSource source;
    if (MaybeError error = source.open(oldFile)) {
        err() << error->description << "\n";
        err().flush();
        return 1;
    }
    ConversionReport report;
    QString lastStep;
    int lastPercent = -1;
    const auto tell = [&](int percent, const QString &step) {
        if (!progress || (percent == lastPercent && step == lastStep))
            return;
        lastPercent = percent;
        lastStep = step;
        out() << "progreso\t" << percent << "\t" << step << "\n";
        out().flush();
    };
    if (MaybeError error = LegacyConverter::convert(source, newFile, report, tell)) {
        err() << "No se pudo convertir " << QDir::toNativeSeparators(oldFile) << ": " << error->text() << "\n";
        err().flush();
        return 1;
    }
    out() << report.text() << "\n";
    if (!progress) {
        out() << "\n" << QDir::toNativeSeparators(newFile) << ": base de datos convertida";
        if (report.lostRows() > 0)
            out() << ", pero FALTAN FILAS que el archivo dañado no dejó leer (vea arriba)";
        out() << "; " << QDir::toNativeSeparators(oldFile) << " quedó como estaba.\n";
    }
    out().flush();
    return report.lostRows() > 0 ? 3 : 0;
}

// Marks the process that does the reading (see migrate).
const char readerMarker[] = "RECORVAN_DB_READER";

// Converts a database of the older program into a new Recorvan database; the old file is
// only read, and an existing NEW is never overwritten. Exits with 3 when rows were lost.
int migrate(QStringList args)
{
    const bool progress = !args.isEmpty() && args.first() == QLatin1String("--progreso");
    if (progress)
        args.removeFirst();
    if (args.size() != 2)
        return usage();
    const QString &oldFile = args.at(0);
    const QString &newFile = args.at(1);
    if (QFileInfo::exists(newFile))
        return fail(newFile, DbError::notOverwritten(newFile));
    if (qEnvironmentVariableIsSet(readerMarker))
        return convertHere(oldFile, newFile, progress);

    // libmdb can crash on a damaged file: reading it in a second process of this tool makes that a message.
    QProcess reader;
    reader.setProcessChannelMode(QProcess::ForwardedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(readerMarker), QStringLiteral("1"));
    reader.setProcessEnvironment(environment);
    reader.start(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
    reader.waitForFinished(-1);
    if (reader.error() == QProcess::FailedToStart)
        return fail(oldFile,
            {DbErrorNumber::Generic, QStringLiteral("no se pudo iniciar la conversión: %1").arg(reader.errorString())});
    if (reader.exitStatus() == QProcess::NormalExit)
        return reader.exitCode();
    DatabaseAside::removeUnfinished(newFile);
    QFile::remove(newFile);
    err() << "No se pudo convertir " << QDir::toNativeSeparators(oldFile)
          << ": el archivo está dañado y su lectura se interrumpió (la biblioteca libmdb falló al leerlo). "
          << QDir::toNativeSeparators(newFile) << " no se creó y " << QDir::toNativeSeparators(oldFile)
          << " quedó como estaba.\n";
    err().flush();
    return 1;
}

int failServer(const DbError &error)
{
    err() << error.text() << "\n";
    if (error.number == ServerErrorNumber::PasswordNeeded)
        err() << "La contraseña se toma de ~/.pgpass (o del archivo que indique PGPASSFILE).\n";
    err().flush();
    return 1;
}

QString shownDatabase(const ServerAddress &address)
{
    return QStringLiteral("%1 en %2").arg(address.database(), address.shownServer());
}

// The office's login comes from the URL, or libpq's defaults; its password from ~/.pgpass.
std::optional<int> connectServer(const QString &url, ServerConnection &connection)
{
    ServerAddress address;
    if (MaybeError error = ServerAddress::parse(url, address)) {
        err() << error->description << "\n";
        err().flush();
        return 2;
    }
    if (MaybeError error = connection.open(address))
        return failServer(*error);
    return std::nullopt;
}

int serverInit(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    ServerConnection connection(QStringLiteral("recorvan-db-server"));
    if (std::optional<int> failed = connectServer(args.first(), connection))
        return *failed;
    if (MaybeError error = CompanySchema::create(connection))
        return failServer(*error);
    out() << shownDatabase(connection.address()) << ": base de datos de la empresa lista (dueño: " << connection.user()
          << ").\n";
    return 0;
}

int serverAddSalesperson(QStringList args)
{
    QHash<QString, QString> options;
    if (std::optional<int> refused = takeOptions(args, {"--usuario"}, options))
        return *refused;
    if (args.size() != 3)
        return usage();
    QString refusal;
    const std::optional<QString> code = SalespersonCode::normalized(args.at(1), &refusal);
    if (!code) {
        err() << refusal << "\n";
        err().flush();
        return 2;
    }
    ServerConnection connection(QStringLiteral("recorvan-db-server"));
    if (std::optional<int> failed = connectServer(args.first(), connection))
        return *failed;
    const QString &name = args.at(2);
    const QString login = options.contains("--usuario")
        ? options.value("--usuario")
        : SalespersonCode::defaultLogin(connection.address().database(), *code);
    QString password;
    if (!readNewPassword(login, password))
        return 1;
    if (MaybeError error = CompanySchema::addSalesperson(connection, *code, name, login, password))
        return failServer(*error);
    out() << shownDatabase(connection.address()) << ": vendedor " << *code << " (" << name
          << ") dado de alta con el usuario " << login << ".\n";
    return 0;
}

// The article list into the company catalogue, by the rules the program's import follows: its
// figures and dates read by the list's format, whatever this machine's locale.
int serverLoad(QStringList args)
{
    QHash<QString, QString> options;
    if (std::optional<int> refused = takeOptions(args, {"--formato"}, options))
        return *refused;
    if (args.size() != 2)
        return usage();
    const std::optional<ListFormat> format = ListFormat::fromCode(options.value("--formato", "es"));
    if (!format) {
        err() << "El formato de la lista debe ser es (1.234,50 y 20/08/2004) o en (1,234.50 y 08/20/2004), no '"
              << options.value("--formato") << "'.\n";
        err().flush();
        return 2;
    }
    const QString &file = args.at(1);
    QString text;
    if (MaybeError refusal = ArticleList::readFile(file, text)) {
        err() << refusal->description << "\n";
        err().flush();
        return 1;
    }
    ArticleList list(std::move(text), *format);
    if (MaybeError refusal = list.refusal(file)) {
        err() << refusal->description << "\nSi la lista usa otro formato, indíquelo con --formato es|en.\n";
        err().flush();
        return 1;
    }
    ServerConnection connection(QStringLiteral("recorvan-db-server"));
    if (std::optional<int> failed = connectServer(args.first(), connection))
        return *failed;
    if (MaybeError error = CompanySchema::check(connection))
        return failServer(*error);
    CatalogueLoad::Outcome outcome;
    if (MaybeError error = CatalogueLoad::load(connection, list, outcome))
        return failServer(*error);
    if (!list.problems().isEmpty())
        err() << ArticleList::problemsText(file, list.problems(), outcome.articles) << "\n";
    err().flush();
    out() << shownDatabase(connection.address()) << ": artículos leídos de la lista: " << outcome.articles
          << "; nuevos o cambiados en el catálogo de la empresa: " << outcome.changed << ".\n";
    return list.problems().isEmpty() ? 0 : 3;
}

// The orders of a salesperson's database not yet on the company server, to the server its
// settings name. The password comes from libpq's password file: nobody is asked.
int serverSend(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    const QString &file = args.first();
    Connection connection(QStringLiteral("recorvan-db"));
    if (MaybeError error = connection.open(file))
        return fail(file, *error);
    if (MaybeError error = Schema::check(connection))
        return fail(file, *error);
    ServerSettings settings;
    if (MaybeError error = ServerSettings::read(connection, settings))
        return fail(file, *error);
    if (!settings.isConfigured())
        return fail(file,
            {DbErrorNumber::Generic,
                QStringLiteral("no tiene configurado el servidor de la empresa (herramienta Configuración del "
                               "programa).")});
    // A password missing from the password file, or refused, is asked at the terminal.
    TerminalDialogs dialogs;
    const OrderSender::Result result = OrderSender::sendAll(connection, dialogs);
    (result.complete() ? out() : err()) << result.text() << "\n";
    if (result.stoppedBy && isatty(STDIN_FILENO) == 0
        && (result.stoppedBy->number == ServerErrorNumber::PasswordNeeded
            || result.stoppedBy->number == ServerErrorNumber::WrongPassword))
        err() << "No hay una terminal donde pedir la contraseña: escríbala en ~/.pgpass (o en el archivo que indique "
                 "PGPASSFILE) como servidor:puerto:base:usuario:contraseña, con «\\:» por cada «:» y «\\\\» por "
                 "cada «\\» de la contraseña, y el archivo con permisos 600 (chmod 600 ~/.pgpass).\n";
    out().flush();
    err().flush();
    return result.complete() ? 0 : 1;
}

// Dates of the office's commands are written day first, whatever this machine's locale.
std::optional<QDate> optionDate(const QHash<QString, QString> &options, const QString &option)
{
    const QDate date = QDate::fromString(options.value(option).trimmed(), QStringLiteral("d/M/yyyy"));
    if (date.isValid())
        return date;
    err() << "La fecha de " << option << " debe escribirse DD/MM/AAAA, no '" << options.value(option) << "'.\n";
    err().flush();
    return std::nullopt;
}

// The day's orders of every salesperson (or one) as one PDF, in the order report's own look.
int serverReport(QStringList args)
{
    QHash<QString, QString> options;
    if (std::optional<int> refused = takeOptions(args, {"--fecha", "--desde", "--hasta", "--vendedor"}, options))
        return *refused;
    const bool oneDay = options.contains("--fecha");
    if (args.size() != 2 || oneDay == (options.contains("--desde") || options.contains("--hasta"))
        || (!oneDay && !(options.contains("--desde") && options.contains("--hasta"))))
        return usage();
    ReceivedOrders::Selection selection;
    const std::optional<QDate> from = optionDate(options, oneDay ? "--fecha" : "--desde");
    const std::optional<QDate> to = optionDate(options, oneDay ? "--fecha" : "--hasta");
    if (!from || !to)
        return 2;
    selection.from = *from;
    selection.to = *to;
    if (options.contains("--vendedor")) {
        QString refusal;
        const std::optional<QString> code = SalespersonCode::normalized(options.value("--vendedor"), &refusal);
        if (!code) {
            err() << refusal << "\n";
            err().flush();
            return 2;
        }
        selection.salesperson = *code;
    }
    ServerConnection connection(QStringLiteral("recorvan-db-server"));
    if (std::optional<int> failed = connectServer(args.first(), connection))
        return *failed;
    if (MaybeError error = CompanySchema::check(connection))
        return failServer(*error);
    RowSet rows;
    if (MaybeError error = ReceivedOrders::forReport(connection, selection, rptOrden::notInCatalogue, rows))
        return failServer(*error);
    const QString period = oneDay
        ? Regional::shortDate(selection.from)
        : Regional::shortDate(selection.from) + QStringLiteral(" - ") + Regional::shortDate(selection.to);
    if (rows.count() == 0) {
        err() << "No hay órdenes del " << period
              << (selection.salesperson.isEmpty() ? QString()
                                                  : QStringLiteral(" del vendedor ") + selection.salesperson)
              << " en el servidor: no se escribió " << QDir::toNativeSeparators(args.at(1)) << ".\n";
        err().flush();
        return 2;
    }
    rptOrden report;
    if (MaybeError problem = report.runBySalesperson(rows, period))
        err() << problem->description << "\n";
    PdfExportFilter filter;
    filter.setFileName(args.at(1));
    if (MaybeError failure = filter.exportReport(report.document())) {
        err() << failure->description << "\n";
        err().flush();
        return 1;
    }
    out() << QDir::toNativeSeparators(args.at(1)) << ": " << report.document().pageCount()
          << " páginas con las órdenes del " << period << ".\n";
    return 0;
}

// The received orders for the office's own system, each order once unless asked for all again.
int serverExport(QStringList args)
{
    CompanyExport::Request request;
    if (args.removeAll(QStringLiteral("--todas")) > 0)
        request.which = CompanyExport::Which::All;
    QHash<QString, QString> options;
    if (std::optional<int> refused = takeOptions(args, {"--desde"}, options))
        return *refused;
    if (args.size() != 2 || (request.which == CompanyExport::Which::All && options.contains("--desde")))
        return usage();
    if (options.contains("--desde")) {
        const std::optional<QDate> since = optionDate(options, "--desde");
        if (!since)
            return 2;
        request.which = CompanyExport::Which::Since;
        request.since = *since;
    }
    request.file = args.at(1);
    ServerConnection connection(QStringLiteral("recorvan-db-server"));
    if (std::optional<int> failed = connectServer(args.first(), connection))
        return *failed;
    if (MaybeError error = CompanySchema::check(connection))
        return failServer(*error);
    CompanyExport::Outcome outcome;
    if (MaybeError error = CompanyExport::run(connection, request, outcome))
        return failServer(*error);
    out() << QDir::toNativeSeparators(request.file) << ": " << outcome.orders << " órdenes, " << outcome.lines
          << " líneas.\n";
    return 0;
}

int serverSalespeople(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    ServerConnection connection(QStringLiteral("recorvan-db-server"));
    if (std::optional<int> failed = connectServer(args.first(), connection))
        return *failed;
    QList<Salespeople::Entry> entries;
    MaybeError error = CompanySchema::check(connection);
    if (!error)
        error = Salespeople::list(connection, entries);
    if (error)
        return failServer(*error);
    out() << "Código\tNombre\tUsuario\tPuede conectarse\tÓrdenes\tÚltima orden\tRecibida\n";
    for (const Salespeople::Entry &entry : std::as_const(entries))
        out() << entry.code << "\t" << entry.name << "\t" << entry.login << "\t" << (entry.canConnect ? "sí" : "no")
              << "\t" << entry.orders << "\t"
              << (entry.lastOrder > 0 ? QString::number(entry.lastOrder) : QStringLiteral("-")) << "\t"
              << (entry.lastReceived.isValid() ? Regional::shortDate(entry.lastReceived.toLocalTime().date())
                             + entry.lastReceived.toLocalTime().toString(QStringLiteral(" HH:mm"))
                                               : QStringLiteral("-"))
              << "\n";
    return 0;
}

// Keeps a salesperson's login out, or lets it in again; its orders stay either way.
int serverEnableSalesperson(const QStringList &args, bool enabled)
{
    if (args.size() != 2)
        return usage();
    ServerConnection connection(QStringLiteral("recorvan-db-server"));
    if (std::optional<int> failed = connectServer(args.first(), connection))
        return *failed;
    MaybeError error = CompanySchema::check(connection);
    if (!error)
        error = Salespeople::setEnabled(connection, args.at(1), enabled);
    if (error)
        return failServer(*error);
    out() << shownDatabase(connection.address()) << ": el vendedor "
          << SalespersonCode::normalized(args.at(1)).value_or(args.at(1))
          << (enabled ? " puede conectarse de nuevo.\n"
                      : " ya no puede conectarse; sus órdenes quedan en el servidor.\n");
    return 0;
}

int serverPassword(const QStringList &args)
{
    if (args.size() != 2)
        return usage();
    ServerConnection connection(QStringLiteral("recorvan-db-server"));
    if (std::optional<int> failed = connectServer(args.first(), connection))
        return *failed;
    QString login;
    MaybeError error = CompanySchema::check(connection);
    if (!error)
        error = Salespeople::loginOf(connection, args.at(1), login);
    if (error)
        return failServer(*error);
    QString password;
    if (!readNewPassword(login, password))
        return 1;
    if (MaybeError failed = Salespeople::setPassword(connection, args.at(1), password))
        return failServer(*failed);
    out() << shownDatabase(connection.address()) << ": nueva contraseña para el usuario " << login << ".\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // The office's report is drawn with fonts, which only Qt's graphical side has; with no screen
    // at hand it draws offscreen.
    const bool drawing = argc > 1 && qstrcmp(argv[1], "server-report") == 0;
    if (drawing && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app
        = drawing ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h"))
        return usage(true);
    if (command == QLatin1String("--version")) {
        out() << "recorvan-db (" << productName() << ") " << RECORVAN_VERSION_MAJOR << "." << RECORVAN_VERSION_MINOR
              << "." << RECORVAN_VERSION_PATCH << "\n";
        return 0;
    }
    if (command == QLatin1String("init"))
        return init(args);
    if (command == QLatin1String("demo"))
        return demo(args);
    if (command == QLatin1String("check"))
        return check(args);
    if (command == QLatin1String("migrate"))
        return migrate(args);
    if (command == QLatin1String("server-init"))
        return serverInit(args);
    if (command == QLatin1String("server-add-salesperson"))
        return serverAddSalesperson(args);
    if (command == QLatin1String("server-load"))
        return serverLoad(args);
    if (command == QLatin1String("server-send"))
        return serverSend(args);
    if (command == QLatin1String("server-report"))
        return serverReport(args);
    if (command == QLatin1String("server-export"))
        return serverExport(args);
    if (command == QLatin1String("server-salespeople"))
        return serverSalespeople(args);
    if (command == QLatin1String("server-disable-salesperson"))
        return serverEnableSalesperson(args, false);
    if (command == QLatin1String("server-enable-salesperson"))
        return serverEnableSalesperson(args, true);
    if (command == QLatin1String("server-password"))
        return serverPassword(args);
    return usage();
}
