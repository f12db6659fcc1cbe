// recorvan-db: creates, fills and checks Recorvan databases from the command line.

#include "base/dialogs.h"
#include "base/version.h"
#include "data/articlelist.h"
#include "data/companysettings.h"
#include "data/connection.h"
#include "data/legacy/jetsource.h"
#include "data/legacy/legacyconverter.h"
#include "data/schema.h"
#include "data/server/catalogueload.h"
#include "data/server/companyschema.h"
#include "data/server/ordersender.h"
#include "data/server/serverconnection.h"
#include "data/server/servererrornumber.h"
#include "data/serversettings.h"
#include "passwordprompt.h"
#include "tools/democatalogue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

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

int usage()
{
    err() << "Uso:\n"
             "  recorvan-db init ARCHIVO --empresa NOMBRE --vendedor NOMBRE [--ultimo-pedido N]\n"
             "  recorvan-db demo ARCHIVO\n"
             "  recorvan-db check ARCHIVO\n"
             "  recorvan-db migrate [--progreso] ANTERIOR.mdb NUEVA.mdb\n"
             "  recorvan-db server-init URL\n"
             "  recorvan-db server-add-salesperson URL CODIGO NOMBRE [--usuario USUARIO]\n"
             "  recorvan-db server-load URL ARCHIVO.dat [--formato es|en]\n"
             "  recorvan-db server-send ARCHIVO\n"
             "  recorvan-db --version\n"
             "migrate sale con 3 cuando convirtió pero faltan filas que el archivo dañado no dejó leer;\n"
             "server-load sale con 3 cuando dejó fuera registros de la lista; --formato dice cómo escribe la\n"
             "lista números y fechas: es (1.234,50 y 20/08/2004, el predeterminado) o en (1,234.50 y 08/20/2004).\n"
             "URL es la dirección de la base de datos de la empresa, p. ej. "
             "postgresql:///recorvan?host=/run/postgresql\n";
    err().flush();
    return 2;
}

int fail(const QString &file, const DbError &error)
{
    err() << QDir::toNativeSeparators(file) << ": " << error.description << " (error " << error.number << ")\n";
    err().flush();
    return 1;
}

// Creates the file with the schema and its one settings row; the file is removed again
// when anything fails, so a half-made database is never left behind.
int createDatabase(const QString &file, const Schema::Settings &settings, bool withDemo)
{
    Connection connection(QStringLiteral("recorvan-db"));
    if (MaybeError error = connection.create(file))
        return fail(file, *error);
    MaybeError error = Schema::createWithSettings(connection, settings);
    if (!error && withDemo)
        error = DemoCatalogue::demo().write(connection);
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
    return createDatabase(args.first(), *settings, false);
}

int demo(const QStringList &args)
{
    if (args.size() != 1)
        return usage();
    return createDatabase(
        args.first(), {QStringLiteral("Distribuidora del Sur S.A."), QStringLiteral("Carlos Giménez"), 0}, true);
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
    const QString countStatements[3] = {QStringLiteral("SELECT COUNT(*) AS N FROM ARTICULOS"),
        QStringLiteral("SELECT COUNT(*) AS N FROM CLIENTES"), QStringLiteral("SELECT COUNT(*) AS N FROM PEDIDOS")};
    for (int i = 0; i < 3; ++i) {
        RowSet rows;
        if (MaybeError error = connection.select(countStatements[i], {}, rows))
            return fail(file, *error);
        counts[i] = rows.value(0, QStringLiteral("N")).toInt();
    }
    RowSet setup;
    if (MaybeError error = connection.select(QStringLiteral("select * from SETUP;"), {}, setup))
        return fail(file, *error);
    if (setup.count() == 0)
        return fail(file, {DbErrorNumber::Generic, QStringLiteral("La tabla SETUP no tiene la fila de la empresa.")});

    out() << QDir::toNativeSeparators(file) << ": base de datos de Recorvan utilizable.\n"
          << "  Empresa: " << setup.text(0, QStringLiteral("EMPRESA")) << "\n"
          << "  Vendedor: " << setup.text(0, QStringLiteral("RECORVAN")) << "\n"
          << "  Último pedido: " << setup.text(0, QStringLiteral("ULTIMO_PEDIDO")) << "\n"
          << "  Artículos: " << counts[0] << ", clientes: " << counts[1] << ", pedidos: " << counts[2] << "\n";
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
        err() << "No se pudo convertir " << QDir::toNativeSeparators(oldFile) << ": " << error->description
              << " (error " << error->number << ")\n";
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
        return fail(newFile, {DbErrorNumber::CantOpen, QStringLiteral("ya existe; no se sobrescribe.")});
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
    LegacyConverter::removeUnfinished(newFile);
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
    err() << error.description << " (error " << error.number << ")\n";
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

int serverAddSalesperson(const QStringList &args)
{
    if (args.size() != 3 && !(args.size() == 5 && args.at(3) == QLatin1String("--usuario")))
        return usage();
    ServerConnection connection(QStringLiteral("recorvan-db-server"));
    if (std::optional<int> failed = connectServer(args.first(), connection))
        return *failed;
    const QString &code = args.at(1);
    const QString &name = args.at(2);
    const QString login
        = args.size() == 5 ? args.at(4) : CompanySchema::defaultLogin(connection.address().database(), code);
    QString password;
    if (!readNewPassword(login, password))
        return 1;
    if (MaybeError error = CompanySchema::addSalesperson(connection, code, name, login, password))
        return failServer(*error);
    out() << shownDatabase(connection.address()) << ": vendedor " << code << " (" << name
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
    if (std::optional<QString> refusal = ArticleList::readFile(file, text)) {
        err() << *refusal << "\n";
        err().flush();
        return 1;
    }
    ArticleList list(std::move(text), *format);
    if (std::optional<QString> refusal = list.refusal(file)) {
        err() << *refusal << "\nSi la lista usa otro formato, indíquelo con --formato es|en.\n";
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
    const OrderSender::Result result = OrderSender::sendAll(connection, Dialogs::current());
    (result.notSent == 0 && !result.stoppedBy ? out() : err()) << result.text() << "\n";
    if (result.stoppedBy && result.stoppedBy->number == ServerErrorNumber::PasswordNeeded)
        err() << "La contraseña se toma de ~/.pgpass (o del archivo que indique PGPASSFILE).\n";
    out().flush();
    err().flush();
    return result.notSent == 0 && !result.stoppedBy ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usage();
    const QString command = args.takeFirst();
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
    return usage();
}
